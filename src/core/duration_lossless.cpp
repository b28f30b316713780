#include "core/duration_lossless.h"

#include <cstring>

#include "core/chunk_reader.h"

namespace {

uint32_t rb(const unsigned char* p, int n)
{
    uint32_t v = 0;
    for (int i = 0; i < n; ++i) v = v << 8 | p[i];
    return v;
}

uint32_t rl(const unsigned char* p, int n)
{
    uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = v << 8 | p[i];
    return v;
}

uint8_t crc8(const unsigned char* p, size_t n)
{
    uint8_t c = 0;
    for (size_t i = 0; i < n; ++i) {
        c ^= p[i];
        for (int b = 0; b < 8; ++b) c = static_cast<uint8_t>((c & 0x80) ? (c << 1) ^ 0x07 : c << 1);
    }
    return c;
}

struct StreamInfo {
    uint32_t min_block = 0, max_block = 0, rate = 0;
    uint64_t total = 0;
};

// The FLAC frame header at `p` (n bytes available): the number of its first
// sample and its block size. False unless it is a well-formed header whose
// CRC matches.
bool flac_frame_at(const unsigned char* p, size_t n, const StreamInfo& si, uint64_t& first, uint32_t& block)
{
    if (n < 6 || p[0] != 0xFF || (p[1] & 0xFE) != 0xF8) return false;
    bool variable = p[1] & 1;
    int bs_code = p[2] >> 4, sr_code = p[2] & 0x0F;
    if (bs_code == 0 || sr_code == 15 || (p[3] & 1) || (p[3] >> 4) > 10) return false;
    // The UTF-8-like coded frame or sample number.
    size_t pos = 4;
    int extra = 0;
    uint64_t num = p[pos];
    if (num < 0x80) extra = 0;
    else if ((num & 0xE0) == 0xC0) extra = 1, num &= 0x1F;
    else if ((num & 0xF0) == 0xE0) extra = 2, num &= 0x0F;
    else if ((num & 0xF8) == 0xF0) extra = 3, num &= 0x07;
    else if ((num & 0xFC) == 0xF8) extra = 4, num &= 0x03;
    else if ((num & 0xFE) == 0xFC) extra = 5, num &= 0x01;
    else if (num == 0xFE) extra = 6, num = 0;
    else return false;
    if (pos + 1 + extra >= n) return false;
    for (int i = 1; i <= extra; ++i) {
        if ((p[pos + i] & 0xC0) != 0x80) return false;
        num = num << 6 | (p[pos + i] & 0x3F);
    }
    pos += 1 + extra;
    if (bs_code == 1) block = 192;
    else if (bs_code <= 5) block = 576u << (bs_code - 2);
    else if (bs_code >= 8) block = 256u << (bs_code - 8);
    else {
        int k = bs_code == 6 ? 1 : 2;
        if (pos + k >= n) return false;
        block = rb(p + pos, k) + 1;
        pos += k;
    }
    if (sr_code >= 12) pos += sr_code == 12 ? 1 : 2;
    if (pos >= n || crc8(p, pos) != p[pos]) return false;
    first = variable ? num : num * si.max_block;
    return true;
}

bool read_streaminfo(ChunkReader& r, StreamInfo& si)
{
    const unsigned char* h = r.at(0, 8 + 34);
    if (!h || std::memcmp(h, "fLaC", 4) != 0 || (h[4] & 0x7F) != 0 || rb(h + 5, 3) < 34) return false;
    const unsigned char* s = h + 8;
    si.min_block = rb(s, 2);
    si.max_block = rb(s + 2, 2);
    si.rate = rb(s + 10, 3) >> 4;
    si.total = (uint64_t(s[13] & 0x0F) << 32) | rb(s + 14, 4);
    return si.rate > 0 && si.total > 0 && si.max_block >= 16;
}

}  // namespace

bool flac_duration_frames(const std::string& path, DurationFrames& out)
{
    ChunkReader r(path);
    StreamInfo si;
    if (!read_streaminfo(r, si)) return false;
    // The last frame is shorter than a window; find its header from the end.
    uint64_t size = r.size();
    uint64_t from = size > 60000 ? size - 60000 : 0;
    size_t n = static_cast<size_t>(size - from);
    const unsigned char* tail = r.at(from, n);
    if (!tail) return false;
    for (size_t i = n; i-- > 0;) {
        uint64_t first = 0;
        uint32_t block = 0;
        if (tail[i] != 0xFF || !flac_frame_at(tail + i, n - i, si, first, block)) continue;
        // A header whose frame ends at the stated total: the stream is whole.
        if (first + block != si.total) return false;
        out = {static_cast<int64_t>(si.total), static_cast<int>(si.rate)};
        return true;
    }
    return false;
}

bool wav_duration_frames(const std::string& path, DurationFrames& out)
{
    ChunkReader r(path);
    const unsigned char* h = r.at(0, 12);
    if (!h || std::memcmp(h, "RIFF", 4) != 0 || std::memcmp(h + 8, "WAVE", 4) != 0) return false;
    uint32_t block_align = 0, rate = 0;
    for (uint64_t pos = 12; pos + 8 <= r.size();) {
        const unsigned char* c = r.at(pos, 8);
        uint32_t len = rl(c + 4, 4);
        if (std::memcmp(c, "fmt ", 4) == 0) {
            const unsigned char* f = r.at(pos + 8, 16);
            if (!f || len < 16) return false;
            uint32_t tag = rl(f, 2);
            if (tag == 0xFFFE) {
                // Extensible: the real format is the first two bytes of the sub-format GUID.
                const unsigned char* x = len >= 40 ? r.at(pos + 8 + 24, 2) : nullptr;
                if (!x) return false;
                tag = rl(x, 2);
            }
            if (tag != 1 && tag != 3) return false;
            rate = rl(f + 4, 4);
            block_align = rl(f + 12, 2);
        } else if (std::memcmp(c, "data", 4) == 0) {
            if (!rate || !block_align || len == 0 || len == 0xFFFFFFFF) return false;
            // A data chunk cut short by the file end counts what is there.
            uint64_t bytes = std::min<uint64_t>(len, r.size() - (pos + 8));
            out = {static_cast<int64_t>(bytes / block_align), static_cast<int>(rate)};
            return true;
        }
        pos += 8 + uint64_t(len) + (len & 1);
    }
    return false;
}
