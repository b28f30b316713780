// Fonts of the look: a system sans face at three sizes, a bold face and four
// display faces, found through fontconfig.
#pragma once
#include <string>

struct ImFont;

// The eight faces, in this order; every handle is valid after load_music_fonts.
struct MusicFonts {
    ImFont* body = nullptr;     // sans 15 px, the default font
    ImFont* small = nullptr;    // sans 12 px
    ImFont* title = nullptr;    // sans 20 px
    ImFont* bold = nullptr;     // bold 20 px
    ImFont* display = nullptr;  // heavy display face 24 px
    ImFont* rounded = nullptr;  // rounded heavy face 24 px
    ImFont* serif = nullptr;    // serif 24 px
    ImFont* mono = nullptr;     // monospace 24 px
};

// Loads the faces into the ImGui atlas (needs a current ImGui context).
MusicFonts load_music_fonts();
// Path of the regular system sans face; empty when none is found.
std::string fonts_first_system_sans();
// True when a font file name looks like a sans face we can use.
bool fonts_looks_sans(const std::string& name);
// Path of a bold sans face; empty when none is found.
std::string fonts_find_bold();
// A display face by its original file name, or `fallback` when none loads.
ImFont* fonts_load_face(const std::string& file, ImFont* fallback);
// Font file best matching a fontconfig pattern ("serif", "sans-serif:bold");
// empty when fontconfig has nothing usable.
std::string fonts_match(const std::string& pattern);

// `text` shortened word by word, then byte by byte, with "..." appended, until it
// fits `width` at `size` (without a font the width is estimated).
std::string fit_text(ImFont* font, float size, const std::string& text, float width);
