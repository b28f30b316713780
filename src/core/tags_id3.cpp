// A small, forgiving ID3 reader: the ID3v2 text frames a catalog needs and
// the ID3v1 trailer. Unknown frames, broken sizes and short files end the
// reading quietly with what was filled in so far.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

#include "core/id3_body.h"
#include "core/tags.h"

namespace {

struct File {
    FILE* f = nullptr;
    explicit File(const std::string& path) : f(std::fopen(path.c_str(), "rb")) {}
    ~File()
    {
        if (f) std::fclose(f);
    }
};

void put_utf8(std::string& out, uint32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// UTF-16 code units to UTF-8, from `p` in the given byte order, stopping at a
// zero unit. A valid surrogate pair becomes one 4-byte character (emoji in
// titles); a lone surrogate is written on its own.
std::string utf16_units(const unsigned char* p, size_t n, bool big_endian)
{
    std::string out;
    auto unit = [&](size_t i) -> uint32_t {
        return big_endian ? (uint32_t(p[i]) << 8 | p[i + 1]) : (uint32_t(p[i + 1]) << 8 | p[i]);
    };
    for (size_t i = 0; i + 1 < n; i += 2) {
        uint32_t u = unit(i);
        if (u == 0) break;
        if (u >= 0xD800 && u < 0xDC00 && i + 3 < n) {
            uint32_t lo = unit(i + 2);
            if (lo >= 0xDC00 && lo < 0xE000) {
                put_utf8(out, 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00));
                i += 2;
                continue;
            }
        }
        put_utf8(out, u);
    }
    return out;
}

// A text frame's payload (encoding byte, then text) as a string.
std::string frame_text(const unsigned char* p, size_t n)
{
    if (n < 2) return "";
    int enc = p[0];
    if (enc == 1 || enc == 2) {
        // Encoding 2 is big-endian UTF-16 without a byte order mark; read as
        // little-endian it would turn every character into garbage.
        bool bom = n >= 3 && ((p[1] == 0xFE && p[2] == 0xFF) || (p[1] == 0xFF && p[2] == 0xFE));
        if (enc == 2 && !bom) return utf16_units(p + 1, n - 1, true);
        return utf16_to_utf8(p + 1, n - 1);
    }
    size_t len = n - 1;
    while (len > 0 && p[len] == 0) --len;
    return std::string(reinterpret_cast<const char*>(p + 1), len);
}

// A leading decimal number (blanks and a sign allowed, as strtol reads it);
// false when the text does not start with one or it does not fit.
bool leading_int(const std::string& text, int32_t& value)
{
    const char* s = text.c_str();
    char* end = nullptr;
    errno = 0;
    long long v = std::strtoll(s, &end, 10);
    if (end == s || errno == ERANGE || v < INT32_MIN || v > INT32_MAX) return false;
    value = static_cast<int32_t>(v);
    return true;
}

void apply_frame(const char* id, const std::string& text, Track& track)
{
    if (std::memcmp(id, "TIT2", 4) == 0) track.title = text;
    else if (std::memcmp(id, "TPE1", 4) == 0) track.artist = text;
    else if (std::memcmp(id, "TALB", 4) == 0) track.album = text;
    else if (std::memcmp(id, "TCON", 4) == 0) track.genre = text;
    else if (std::memcmp(id, "TRCK", 4) == 0) {
        std::string num = text.substr(0, text.find('/'));
        if (!num.empty()) leading_int(num, track.track_num);
    }
}

bool is_text_frame(const unsigned char* id)
{
    for (const char* want : {"TIT2", "TPE1", "TALB", "TCON", "TRCK"})
        if (std::memcmp(id, want, 4) == 0) return true;
    return false;
}

// A fixed-width ID3v1 field without its trailing zero and blank bytes.
std::string v1_field(const unsigned char* p, size_t n)
{
    while (n > 0 && (p[n - 1] == 0x00 || p[n - 1] == 0x20)) --n;
    return std::string(reinterpret_cast<const char*>(p), n);
}

}  // namespace

bool id3_read_body(const std::string& path, int& version, std::vector<unsigned char>& body)
{
    body.clear();
    File file(path);
    if (!file.f) return false;
    unsigned char h[10];
    if (std::fread(h, 1, 10, file.f) != 10 || std::memcmp(h, "ID3", 3) != 0) return false;
    version = h[3];
    size_t size = apic_syncsafe(h + 6);
    // Never allocate more than the file can hold, whatever the header claims.
    struct stat st {};
    if (::fstat(fileno(file.f), &st) == 0 && st.st_size >= 10)
        size = std::min(size, static_cast<size_t>(st.st_size - 10));
    body.resize(size);
    body.resize(std::fread(body.data(), 1, size, file.f));
    return true;
}

std::string utf16_to_utf8(const unsigned char* p, size_t n)
{
    if (n < 2) return "";
    if (p[0] == 0xFE && p[1] == 0xFF) return utf16_units(p + 2, n - 2, true);
    if (p[0] == 0xFF && p[1] == 0xFE) return utf16_units(p + 2, n - 2, false);
    return utf16_units(p, n, false);
}

bool read_id3v2(const std::string& path, Track& track)
{
    int version = 0;
    std::vector<unsigned char> body;
    if (!id3_read_body(path, version, body)) return false;
    const size_t size = body.size();
    if (size < 11) return true;
    size_t pos = 0;
    while (pos + 10 <= size && body[pos] != 0) {
        const unsigned char* frame = body.data() + pos;
        uint64_t fsz = apic_frame_sz(frame + 4, version);
        if (pos + 10 + fsz > size) break;
        if (is_text_frame(frame)) {
            apply_frame(reinterpret_cast<const char*>(frame), frame_text(frame + 10, fsz), track);
        }
        pos += 10 + static_cast<size_t>(fsz);
    }
    return true;
}

bool read_id3v1(const std::string& path, Track& track)
{
    File file(path);
    if (!file.f || std::fseek(file.f, -128, SEEK_END) != 0) return false;
    unsigned char t[128];
    if (std::fread(t, 1, 128, file.f) != 128 || std::memcmp(t, "TAG", 3) != 0) return false;
    std::string title = v1_field(t + 3, 30), artist = v1_field(t + 33, 30), album = v1_field(t + 63, 30),
                year = v1_field(t + 93, 4);
    if (!title.empty()) track.title = title;
    if (!artist.empty()) track.artist = artist;
    if (!album.empty()) track.album = album;
    if (!year.empty()) leading_int(year, track.year);
    return true;
}

bool read_id3_tags(Track& track)
{
    if (read_id3v2(track.path, track)) return true;
    return read_id3v1(track.path, track);
}
