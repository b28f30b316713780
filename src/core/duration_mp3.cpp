#include "core/duration_mp3.h"

#include "core/chunk_reader.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

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
// UINT64_MAX when the tag header is malformed.
uint64_t audio_start(ChunkReader& r)
{
    const unsigned char* h = r.at(0, 10);
    if (!h || std::memcmp(h, "ID3", 3) != 0) return 0;
    const unsigned char* s = h + 6;
    if ((s[0] | s[1] | s[2] | s[3]) & 0x80) return UINT64_MAX;
    uint64_t size = uint64_t(s[0]) << 21 | uint64_t(s[1]) << 14 | uint64_t(s[2]) << 7 | s[3];
    return 10 + size + ((h[5] & 0x10) ? 10 : 0);
}

uint32_t rl32(const unsigned char* p)
{
    return uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
}

// Where the frames end: before a trailing ID3v1 tag and an APEv2 tag (as
// ReplayGain tools write) in front of it, neither of which is audio.
uint64_t audio_end(ChunkReader& r, uint64_t start)
{
    uint64_t end = r.size();
    const unsigned char* t = end >= 128 ? r.at(end - 128, 3) : nullptr;
    if (t && std::memcmp(t, "TAG", 3) == 0) end -= 128;
    const unsigned char* ape = end >= 32 ? r.at(end - 32, 32) : nullptr;
    if (ape && std::memcmp(ape, "APETAGEX", 8) == 0) {
        uint64_t total = uint64_t(rl32(ape + 12)) + ((rl32(ape + 20) & 0x80000000u) ? 32 : 0);
        if (total >= 32 && total <= end - start) end -= total;
    }
    return end;
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
    ChunkReader r(path);
    uint64_t pos = audio_start(r);
    const unsigned char* p = r.at(pos, 4);
    FrameHead first;
    if (!p || !parse_head(p, first)) return false;
    size_t avail = static_cast<size_t>(std::min<uint64_t>(first.size, r.size() - pos));
    InfoTag info = parse_info(r.at(pos, avail), avail, first);
    if (info.present) pos += first.size;
    uint64_t end = audio_end(r, pos);
    int64_t count = 0;
    FrameHead h;
    while (pos < end) {
        p = end - pos >= 4 ? r.at(pos, 4) : nullptr;
        if (!p || !parse_head(p, h)) return false;
        if (h.rate != first.rate || h.spf != first.spf || h.size > end - pos) return false;
        pos += h.size;
        ++count;
    }
    out = {kept_samples(count, first.spf, info), first.rate};
    return true;
}
