// Shortening texts to a width: whole words first, then single characters.
#include "app/fonts.h"

#include <imgui.h>

namespace {

float text_w(ImFont* font, float size, const std::string& s) {
    if (!font) return size * (float)s.size() * 0.5f;
    return font->CalcTextSizeA(size, 1e9f, 0.0f, s.c_str(), s.c_str() + s.size()).x;
}

// Drops the last character whole, so a cut never leaves half a UTF-8 sequence.
void drop_last_char(std::string& t) {
    while (!t.empty() && ((unsigned char)t.back() & 0xC0) == 0x80) t.pop_back();
    if (!t.empty()) t.pop_back();
}

}  // namespace

std::string fit_text(ImFont* font, float size, const std::string& text, float width) {
    if (text_w(font, size, text) <= width) return text;
    std::string t = text;
    while (!t.empty()) {
        size_t blank = t.find_last_of(' ');
        if (blank != std::string::npos && blank > 0) t.resize(blank);
        else drop_last_char(t);
        std::string cand = t + "...";
        if (text_w(font, size, cand) <= width) return cand;
    }
    return "...";
}
