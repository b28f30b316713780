// Album covers as textures: cached by album key, misses cached by path, at
// most four loads per frame so a large grid fills in over a few frames.
#pragma once
#include <cstddef>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

struct CoverCache {
    std::map<std::string, unsigned> tex;  // album key -> texture
    std::set<std::string> missing;        // track paths without a usable picture
    int frame = -1;                       // frame the load counter belongs to
    int loads = 0;                        // cover loads this frame
    // Where the bytes come from and how they become a texture (0 = failed).
    std::function<bool(const std::string&, std::vector<unsigned char>&)> read;
    std::function<unsigned(const unsigned char*, size_t)> upload;
};

constexpr int kCoverLoadsPerFrame = 4;

// The texture for an album key (0 = none yet or none at all).
unsigned cover_cache_get(CoverCache& cache, const std::string& key, const std::string& path, int frame);
// The process-wide cache over the song's cover bytes and OpenGL.
unsigned album_tex(const std::string& key, const std::string& path);
// Decodes a picture and uploads it as an RGBA texture; 0 on failure.
unsigned art_upload(const unsigned char* bytes, size_t n);
// Decodes to RGBA, scaled down so neither side exceeds max_side (the aspect
// ratio kept); false when the bytes are not a picture.
bool art_decode(const unsigned char* bytes, size_t n, int max_side, int& w, int& h,
                std::vector<unsigned char>& rgba);
