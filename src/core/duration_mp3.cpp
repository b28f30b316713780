#include "core/duration_mp3.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The file mapped read-only; only the pages of touched frame headers are read.
struct Mapped {
    const unsigned char* p = nullptr;
    size_t n = 0;
    ~Mapped()
    {
        if (p) ::munmap(const_cast<unsigned char*>(p), n);
    }
};

bool map_file(const std::string& path, Mapped& m)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0;
    if (ok) {
        void* p = ::mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
        ok = p != MAP_FAILED;
        if (ok) {
            m.p = static_cast<const unsigned char*>(p);
            m.n = static_cast<size_t>(st.st_size);
        }
    }
    ::close(fd);
    return ok;
}

struct FrameHead {
    int version = 0;  // 3 = MPEG 1, 2 = MPEG 2, 0 = MPEG 2.5 (the header's own code)
    int rate = 0;
    int channels = 0;
    size_t size = 0;
    int spf = 0;  // samples per frame
};

uint32_t rb32(const unsigned char* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

// A Layer III frame header with a known bitrate (free format is not handled).
bool parse_head(const unsigned char* p, FrameHead& h)
{
    static const int kRates[3] = {44100, 48000, 32000};
    static const int kKbps[2][15] = {{0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
                                     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}};
    if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0) return false;
    int version = (p[1] >> 3) & 3, layer = (p[1] >> 1) & 3;
    int br = p[2] >> 4, sr = (p[2] >> 2) & 3, pad = (p[2] >> 1) & 1;
    if (version == 1 || layer != 1 || br == 0 || br == 15 || sr == 3) return false;
    bool mpeg1 = version == 3;
    h.version = version;
    h.rate = kRates[sr] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);
    h.channels = (p[3] >> 6) == 3 ? 1 : 2;
    h.spf = mpeg1 ? 1152 : 576;
    int kbps = kKbps[mpeg1 ? 1 : 0][br];
    h.size = static_cast<size_t>((mpeg1 ? 144000 : 72000) * kbps / h.rate + pad);
    return true;
}

// What the Xing/Info frame says: its frame count and the LAME delays.
struct InfoTag {
    bool present = false;  // the frame is a header, not audio
    uint32_t frames = 0;
    bool has_pads = false;
    int start_pad = 0;
    int end_pad = 0;
};

InfoTag parse_info(const unsigned char* f, size_t avail, const FrameHead& h)
{
    InfoTag t;
    size_t pos = 4 + (h.version == 3 ? (h.channels == 1 ? 17 : 32) : (h.channels == 1 ? 9 : 17));
    auto have = [&](size_t n) { return pos + n <= avail && pos + n <= h.size; };
    if (!have(8)) return t;
    uint32_t id = rb32(f + pos);
    if (id != rb32(reinterpret_cast<const unsigned char*>("Xing")) &&
        id != rb32(reinterpret_cast<const unsigned char*>("Info")))
        return t;
    uint32_t flags = rb32(f + pos + 4);
    pos += 8;
    uint32_t bytes = 0;
    if ((flags & 1) && have(4)) t.frames = rb32(f + pos), pos += 4;
    if ((flags & 2) && have(4)) bytes = rb32(f + pos), pos += 4;
    // Without a frame count or a byte count the frame is taken as audio.
    t.present = t.frames != 0 || bytes != 0;
    if (flags & 4) pos += 100;
    if (flags & 8) pos += 4;
    // Encoder version (9), revision, lowpass, peak (4), two gains (2+2),
    // flags, bitrate, then the 12+12-bit delays.
    if (!have(24)) return t;
    const unsigned char* enc = f + pos;
    if (std::memcmp(enc, "LAME", 4) == 0 || std::memcmp(enc, "Lavf", 4) == 0 ||
        std::memcmp(enc, "Lavc", 4) == 0) {
        const unsigned char* d = enc + 21;
        t.has_pads = true;
        t.start_pad = (d[0] << 4) | (d[1] >> 4);
        t.end_pad = ((d[1] & 0x0F) << 8) | d[2];
    }
    return t;
}

// Where the first frame starts: right after one ID3v2 tag (with its footer).
size_t audio_start(const Mapped& m)
{
    if (m.n < 10 || std::memcmp(m.p, "ID3", 3) != 0) return 0;
    const unsigned char* s = m.p + 6;
    if ((s[0] | s[1] | s[2] | s[3]) & 0x80) return SIZE_MAX;
    size_t size = size_t(s[0]) << 21 | size_t(s[1]) << 14 | size_t(s[2]) << 7 | s[3];
    return 10 + size + ((m.p[5] & 0x10) ? 10 : 0);
}

// Samples the decoder keeps from `count` frames, given the LAME delays: it
// drops start_pad + 529 samples at the front (the decoder's own delay is
// 528 + 1) and, past the tagged frame count, cuts the end padding.
int64_t kept_samples(int64_t count, int spf, const InfoTag& t)
{
    if (!t.has_pads) return count * spf;
    int64_t skip = t.start_pad + 529;
    int64_t first_discard = t.frames ? int64_t(t.frames) * spf - t.end_pad + 529 : 0;
    int64_t last_discard = int64_t(t.frames) * spf;
    int64_t total = 0;
    for (int64_t k = 0; k < count; ++k) {
        int64_t s = k * spf, e = s + spf, n = spf, pad = 0;
        if (t.frames && e >= first_discard && s < last_discard) pad = std::min<int64_t>(e - first_discard, spf);
        if (skip > 0) {
            if (n <= skip) {
                skip -= n;
                continue;
            }
            n -= skip;
            skip = 0;
        }
        if (pad > 0 && pad <= n) n -= pad;
        total += n;
    }
    return total;
}

}  // namespace

bool mp3_duration_frames(const std::string& path, DurationFrames& out)
{
    Mapped m;
    if (!map_file(path, m)) return false;
    size_t pos = audio_start(m);
    FrameHead first;
    if (pos >= m.n || m.n - pos < 4 || !parse_head(m.p + pos, first)) return false;
    InfoTag info = parse_info(m.p + pos, m.n - pos, first);
    if (info.present) pos += first.size;
    // A trailing ID3v1 tag is not audio.
    size_t end = m.n;
    if (end >= 128 && std::memcmp(m.p + end - 128, "TAG", 3) == 0) end -= 128;
    int64_t count = 0;
    FrameHead h;
    while (pos < end) {
        if (end - pos < 4 || !parse_head(m.p + pos, h)) return false;
        if (h.rate != first.rate || h.spf != first.spf || h.size > end - pos) return false;
        pos += h.size;
        ++count;
    }
    out = {kept_samples(count, first.spf, info), first.rate};
    return true;
}
