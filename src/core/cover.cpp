// Cover pictures: the ID3v2 APIC frame (front cover preferred), the attached
// picture of other containers, and an image file in the song's folder. Only
// bytes are returned; the album grid decodes them.
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

#include "core/id3_body.h"
#include "core/tags.h"
#include "core/track.h"

namespace {

constexpr off_t kFolderCoverMin = 8;
constexpr off_t kFolderCoverMax = 8 * 1024 * 1024;

bool read_whole(const std::string& path, size_t size, std::vector<unsigned char>& out)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    out.resize(size);
    size_t got = std::fread(out.data(), 1, size, f);
    std::fclose(f);
    if (got == size) return true;
    out.clear();
    return false;
}

}  // namespace

uint32_t apic_syncsafe(const unsigned char* p)
{
    return uint32_t(p[0] & 0x7F) << 21 | uint32_t(p[1] & 0x7F) << 14 | uint32_t(p[2] & 0x7F) << 7 | (p[3] & 0x7F);
}

uint32_t apic_frame_sz(const unsigned char* p, int version)
{
    if (version >= 4) return apic_syncsafe(p);
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

bool looks_img(const unsigned char* p, size_t n)
{
    if (n < 4) return false;
    return (p[0] == 0xFF && p[1] == 0xD8) || (p[0] == 0x89 && p[1] == 0x50);
}

size_t skip_desc(const unsigned char* p, size_t n, size_t pos, int encoding)
{
    if (encoding == 1 || encoding == 2) {
        for (; pos + 1 < n; pos += 2)
            if (p[pos] == 0 && p[pos + 1] == 0) return pos + 2;
        return n;
    }
    for (; pos < n; ++pos)
        if (p[pos] == 0) return pos + 1;
    return n;
}

bool apic_payload(const unsigned char* frame, size_t n, std::vector<unsigned char>& out, int& type)
{
    if (n <= 3) return false;
    size_t mime_end = 1;
    while (mime_end < n && frame[mime_end] != 0) ++mime_end;
    if (mime_end + 1 >= n) return false;
    type = frame[mime_end + 1];
    size_t pos = skip_desc(frame, n, mime_end + 2, frame[0]);
    if (!looks_img(frame + pos, n - pos)) {
        // A description not terminated as its encoding says: find the image
        // by its signature instead.
        for (pos = 0; pos < n && !looks_img(frame + pos, n - pos); ++pos) {
        }
        if (pos >= n) return false;
    }
    out.assign(frame + pos, frame + n);
    return true;
}

bool apic_bytes(const std::string& path, std::vector<unsigned char>& out)
{
    out.clear();
    int version = 0;
    std::vector<unsigned char> body;
    if (!id3_read_body(path, version, body) || body.size() <= 10) return false;
    const size_t size = body.size();
    bool found = false, front = false;
    std::vector<unsigned char> pic;
    for (size_t pos = 0; pos + 10 <= size && body[pos] != 0 && !front;) {
        const unsigned char* frame = body.data() + pos;
        uint64_t fsz = apic_frame_sz(frame + 4, version);
        if (fsz == 0 || pos + 10 + fsz > size) break;
        int type = -1;
        if (std::memcmp(frame, "APIC", 4) == 0 && apic_payload(frame + 10, fsz, pic, type) &&
            (!found || type == 3)) {
            out.swap(pic);
            found = true;
            front = type == 3;
        }
        pos += 10 + static_cast<size_t>(fsz);
    }
    return found;
}

bool folder_cover_bytes(const std::string& song_path, std::vector<unsigned char>& out)
{
    out.clear();
    const std::string dir = path_dir(song_path);
    for (const char* name : {"folder.jpg", "Folder.jpg", "cover.jpg", "Cover.jpg", "folder.png", "cover.png",
                             "Folder.png", "Cover.png"}) {
        std::string path = dir + "/" + name;
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        if (st.st_size < kFolderCoverMin || st.st_size > kFolderCoverMax) continue;
        if (read_whole(path, static_cast<size_t>(st.st_size), out)) return true;
    }
    return false;
}

bool song_cover_bytes(const std::string& path, std::vector<unsigned char>& out)
{
    return apic_bytes(path, out) || container_cover_bytes(path, out) || folder_cover_bytes(path, out);
}
