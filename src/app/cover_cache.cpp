// The cover cache and its texture upload.
#include "app/cover_cache.h"

#include <GL/gl.h>
#include <GLFW/glfw3.h>
#include <imgui.h>
#include <stb_image.h>
#include <stb_image_resize.h>

#include <algorithm>

#include "core/tags.h"

// Covers are shown at most a few hundred pixels wide; a large embedded
// picture is scaled down before upload so a big library's textures stay small.
constexpr int kCoverMaxSide = 512;

unsigned cover_cache_get(CoverCache& c, const std::string& key, const std::string& path, int frame) {
    if (frame != c.frame) {
        c.frame = frame;
        c.loads = 0;
    }
    auto it = c.tex.find(key);
    if (it != c.tex.end()) return it->second;
    if (c.missing.count(path)) return 0;
    if (c.loads >= kCoverLoadsPerFrame) return 0;
    ++c.loads;
    std::vector<unsigned char> bytes;
    if (!c.read || !c.read(path, bytes) || bytes.empty()) {
        c.missing.insert(path);
        return 0;
    }
    unsigned t = c.upload ? c.upload(bytes.data(), bytes.size()) : 0;
    if (!t) {
        c.missing.insert(path);
        return 0;
    }
    c.tex[key] = t;
    return t;
}

bool art_decode(const unsigned char* bytes, size_t n, int max_side, int& w, int& h,
                std::vector<unsigned char>& rgba) {
    if (!bytes || n <= 7 || n > (size_t)INT32_MAX) return false;
    int iw = 0, ih = 0, comp = 0;
    unsigned char* px = stbi_load_from_memory(bytes, (int)n, &iw, &ih, &comp, 4);
    if (!px) return false;
    if (iw <= 0 || ih <= 0) {
        stbi_image_free(px);
        return false;
    }
    int big = std::max(iw, ih);
    if (max_side > 0 && big > max_side) {
        w = std::max(1, iw * max_side / big);
        h = std::max(1, ih * max_side / big);
        rgba.resize((size_t)w * h * 4);
        stbir_resize_uint8(px, iw, ih, 0, rgba.data(), w, h, 0, 4);
    } else {
        w = iw;
        h = ih;
        rgba.assign(px, px + (size_t)iw * ih * 4);
    }
    stbi_image_free(px);
    return true;
}

unsigned art_upload(const unsigned char* bytes, size_t n) {
    int w = 0, h = 0;
    std::vector<unsigned char> rgba;
    if (!art_decode(bytes, n, kCoverMaxSide, w, h, rgba)) return 0;
    GLuint tex = 0;
    glGenTextures(1, &tex);
    if (!tex) return 0;
    glBindTexture(GL_TEXTURE_2D, tex);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return tex;
}

unsigned album_tex(const std::string& key, const std::string& path) {
    // One cache for the whole run: textures live until exit.
    static CoverCache cache{{}, {}, -1, 0, song_cover_bytes, art_upload};
    bool at_limit = cache.frame == ImGui::GetFrameCount() && cache.loads >= kCoverLoadsPerFrame;
    unsigned t = cover_cache_get(cache, key, path, ImGui::GetFrameCount());
    // A cover put off to a later frame: wake an idle loop so that frame comes.
    if (!t && at_limit && glfwGetCurrentContext()) glfwPostEmptyEvent();
    return t;
}
