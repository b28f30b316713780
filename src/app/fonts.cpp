// Finding and loading the faces of the look. fontconfig answers first; the
// fixed folders are walked only when it has nothing.
#include "app/fonts.h"

#include <fontconfig/fontconfig.h>
#include <imgui.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

// Latin-1, general punctuation (the dashes and ellipsis of the interface
// texts), arrows, geometric shapes and the card suits (the heart column).
const ImWchar kGlyphRanges[] = {0x0020, 0x00FF, 0x2010, 0x2027, 0x2190, 0x21FF,
                                0x25A0, 0x25FF, 0x2660, 0x2665, 0};

bool font_ext(const fs::path& p) {
    std::string e = p.extension().string();
    std::transform(e.begin(), e.end(), e.begin(), ::tolower);
    return e == ".ttf" || e == ".ttc" || e == ".otf";
}

bool is_file(const std::string& p) {
    std::error_code ec;
    return !p.empty() && fs::is_regular_file(p, ec);
}

// The first sans-looking font file among the first 400 files of a tree.
std::string walk_for_sans(const std::string& dir) {
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) return "";
    int seen = 0;
    auto it = fs::recursive_directory_iterator(
        dir, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (!it->is_regular_file(ec)) continue;
        if (++seen > 400) break;
        const fs::path& p = it->path();
        if (font_ext(p) && fonts_looks_sans(p.filename().string())) return p.string();
    }
    return "";
}

// Arrows, shapes and card suits (the heart column) are missing from some
// sans faces; they are merged in from a face that has them.
const ImWchar kSymbolRanges[] = {0x2190, 0x21FF, 0x25A0, 0x25FF, 0x2660, 0x2665, 0};

const std::string& symbol_face() {
    static const std::string f = fonts_match("sans-serif:charset=2665");
    return f;
}

ImFont* load_file(const std::string& path, float px) {
    if (!is_file(path)) return nullptr;
    ImFontConfig cfg;
    cfg.OversampleH = 2;
    cfg.OversampleV = 1;
    ImFontAtlas* atlas = ImGui::GetIO().Fonts;
    ImFont* f = atlas->AddFontFromFileTTF(path.c_str(), px, &cfg, kGlyphRanges);
    if (f && !symbol_face().empty() && symbol_face() != path) {
        ImFontConfig merge;
        merge.MergeMode = true;
        merge.OversampleH = 2;
        atlas->AddFontFromFileTTF(symbol_face().c_str(), px, &merge, kSymbolRanges);
    }
    return f;
}

// Linux stand-ins for the original display faces.
const char* face_pattern(const std::string& file) {
    if (file.find("Display") != std::string::npos) return "sans-serif:weight=black";
    if (file.find("Rounded") != std::string::npos) return "sans-serif:weight=heavy";
    if (file.find("NewYork") != std::string::npos) return "serif";
    if (file.find("Menlo") != std::string::npos) return "monospace";
    return "sans-serif:bold";
}

}  // namespace

bool fonts_looks_sans(const std::string& name) {
    std::string n = name;
    std::transform(n.begin(), n.end(), n.begin(), ::tolower);
    for (const char* k : {"sfns", "helvetica", "inter", "segoeui", "dejavu", "noto sans",
                          "notosans", "liberation", "freesans", "ubuntu", "arial"})
        if (n.find(k) != std::string::npos) return true;
    return false;
}

std::string fonts_match(const std::string& pattern) {
    if (!FcInit()) return "";
    std::string out;
    FcPattern* pat = FcNameParse((const FcChar8*)pattern.c_str());
    if (!pat) return "";
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult res;
    FcPattern* match = FcFontMatch(nullptr, pat, &res);
    FcChar8* file = nullptr;
    if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
        std::string f = (const char*)file;
        if (font_ext(f) && is_file(f)) out = f;
    }
    if (match) FcPatternDestroy(match);
    FcPatternDestroy(pat);
    return out;
}

std::string fonts_first_system_sans() {
    if (is_file("/System/Library/Fonts/SFNS.ttf")) return "/System/Library/Fonts/SFNS.ttf";
    std::string f = fonts_match("sans-serif:weight=regular");
    if (!f.empty()) return f;
    for (const char* d : {"/System/Library/Fonts", "/Library/Fonts", "/usr/share/fonts",
                          "/usr/local/share/fonts"}) {
        f = walk_for_sans(d);
        if (!f.empty()) return f;
    }
    return "";
}

std::string fonts_find_bold() {
    const char* home = std::getenv("HOME");
    for (std::string d : {std::string("/Library/Fonts"),
                          std::string(home ? home : ".") + "/Library/Fonts",
                          std::string("/System/Library/Fonts")}) {
        if (is_file(d + "/SF-Pro-Display-Semibold.otf")) return d + "/SF-Pro-Display-Semibold.otf";
    }
    return fonts_match("sans-serif:weight=bold");
}

ImFont* fonts_load_face(const std::string& file, ImFont* fallback) {
    const char* home = std::getenv("HOME");
    for (std::string p : {"/Library/Fonts/" + file, "/System/Library/Fonts/" + file,
                          std::string(home ? home : ".") + "/Library/Fonts/" + file}) {
        if (ImFont* f = load_file(p, 24)) return f;
    }
    if (ImFont* f = load_file(fonts_match(face_pattern(file)), 24)) return f;
    return fallback;
}

MusicFonts load_music_fonts() {
    MusicFonts f;
    ImFontAtlas* atlas = ImGui::GetIO().Fonts;
    std::string sans = fonts_first_system_sans();
    if (!sans.empty()) {
        f.body = load_file(sans, 15);
        f.small = load_file(sans, 12);
        f.title = load_file(sans, 20);
    }
    f.bold = load_file(fonts_find_bold(), 20);
    if (!f.body) f.body = atlas->AddFontDefault();
    if (!f.small) f.small = f.body;
    if (!f.title) f.title = f.body;
    if (!f.bold) f.bold = f.title;
    f.display = fonts_load_face("SF-Pro-Display-Black.otf", f.bold);
    f.rounded = fonts_load_face("SF-Pro-Rounded-Heavy.otf", f.bold);
    f.serif = fonts_load_face("NewYork.ttf", f.bold);
    f.mono = fonts_load_face("Menlo.ttc", f.bold);
    ImGui::GetIO().FontDefault = f.body;
    return f;
}
