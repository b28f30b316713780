// The icon drawing: coverage-based anti-aliased shapes composited "over",
// plus the note glyph rasterised with stb_truetype from a system font.
#include "app/icon.h"

#include <GLFW/glfw3.h>
#include <stb_truetype.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "app/fonts.h"
#include "core/state.h"

namespace {

// Premultiplied RGBA float canvas.
struct Canvas {
    int n;
    std::vector<float> px;
    explicit Canvas(int size) : n(size), px((size_t)size * size * 4, 0.0f) {}
    void over(int x, int y, float r, float g, float b, float a) {
        if (a <= 0) return;
        float* p = &px[((size_t)y * n + x) * 4];
        p[0] = r * a + p[0] * (1 - a);
        p[1] = g * a + p[1] * (1 - a);
        p[2] = b * a + p[2] * (1 - a);
        p[3] = a + p[3] * (1 - a);
    }
};

// Signed distance from a point to a rounded square inset `inset` from the
// edges of an n-pixel canvas (negative inside).
float rrect_dist(float x, float y, float n, float inset, float radius) {
    float half = n / 2 - inset, c = n / 2;
    float qx = std::fabs(x - c) - (half - radius), qy = std::fabs(y - c) - (half - radius);
    float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
    return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - radius;
}

std::string note_font() {
    // The regular sans face usually has U+266B; fontconfig finds one that does otherwise.
    for (const std::string& f : {fonts_first_system_sans(), fonts_match("sans-serif:charset=266b")}) {
        std::string data;
        if (f.empty() || !state_read(f, data) || data.empty()) continue;
        stbtt_fontinfo info;
        const auto* d = (const unsigned char*)data.data();
        if (stbtt_InitFont(&info, d, stbtt_GetFontOffsetForIndex(d, 0)) &&
            stbtt_FindGlyphIndex(&info, 0x266B))
            return data;
    }
    return "";
}

void draw_note(Canvas& cv, float k) {
    static const std::string data = note_font();
    if (data.empty()) return;
    const auto* d = (const unsigned char*)data.data();
    stbtt_fontinfo info;
    if (!stbtt_InitFont(&info, d, stbtt_GetFontOffsetForIndex(d, 0))) return;
    float scale = stbtt_ScaleForMappingEmToPixels(&info, 260 * k);
    int w = 0, h = 0, xo = 0, yo = 0;
    unsigned char* bm = stbtt_GetCodepointBitmap(&info, scale, scale, 0x266B, &w, &h, &xo, &yo);
    if (!bm) return;
    // Ink box centred horizontally, 12 points above the vertical centre.
    int x0 = (int)std::lround(cv.n / 2.0f - w / 2.0f);
    int y0 = (int)std::lround(cv.n / 2.0f - 12 * k - h / 2.0f);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int cx = x0 + x, cy = y0 + y;
            if (cx >= 0 && cy >= 0 && cx < cv.n && cy < cv.n) cv.over(cx, cy, 1, 1, 1, bm[y * w + x] / 255.0f);
        }
    stbtt_FreeBitmap(bm, nullptr);
}

}  // namespace

std::vector<unsigned char> icon_pixels(int size) {
    Canvas cv(size);
    float k = size / 512.0f;  // the drawing is specified on a 512-point square
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float px = x + 0.5f, py = y + 0.5f;
            float fill = std::clamp(0.5f - rrect_dist(px, py, (float)size, 4 * k, 96 * k), 0.0f, 1.0f);
            cv.over(x, y, 1.0f, 0.176f, 0.333f, fill);
            float ring = std::fabs(rrect_dist(px, py, (float)size, 2 * k, 97 * k));
            float edge = std::clamp(2 * k + 0.5f - ring, 0.0f, 1.0f);
            cv.over(x, y, 0, 0, 0, 0.08f * edge);
        }
    draw_note(cv, k);
    std::vector<unsigned char> out((size_t)size * size * 4);
    for (size_t i = 0; i < (size_t)size * size; ++i) {
        float a = cv.px[i * 4 + 3];
        for (int c = 0; c < 3; ++c) {
            float v = a > 0 ? cv.px[i * 4 + c] / a : 0.0f;
            out[i * 4 + c] = (unsigned char)std::lround(std::clamp(v, 0.0f, 1.0f) * 255);
        }
        out[i * 4 + 3] = (unsigned char)std::lround(std::clamp(a, 0.0f, 1.0f) * 255);
    }
    return out;
}

void set_dock_icon(GLFWwindow* window) {
    GLFWwindow* w = window ? window : glfwGetCurrentContext();
    if (!w) return;
    std::vector<unsigned char> big = icon_pixels(128), mid = icon_pixels(48), small = icon_pixels(32);
    GLFWimage imgs[3] = {{128, 128, big.data()}, {48, 48, mid.data()}, {32, 32, small.data()}};
    glfwSetWindowIcon(w, 3, imgs);
}
