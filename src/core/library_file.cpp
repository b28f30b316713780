// Reading and writing library.toml: the scan root, one [[track]] table per
// song, then the playlists.
#include <string_view>

#include "core/library.h"
#include "core/state.h"

namespace {

// Digits from the start (after an optional sign when `is_signed`), stopping at
// the first non-digit; no digits at all reads as 0.
long long leading_int(std::string_view s, bool is_signed)
{
    bool neg = false;
    size_t i = 0;
    if (is_signed && i < s.size() && (s[i] == '-' || s[i] == '+')) neg = s[i++] == '-';
    long long v = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        if (v < (1LL << 40)) v = v * 10 + (s[i] - '0');
    }
    return neg ? -v : v;
}

uint32_t to_u32(long long v)
{
    return v > 0xFFFFFFFFLL ? 0xFFFFFFFFu : static_cast<uint32_t>(v);
}

int32_t to_i32(long long v)
{
    if (v > 0x7FFFFFFFLL) return 0x7FFFFFFF;
    if (v < -0x7FFFFFFFLL) return -0x7FFFFFFF;
    return static_cast<int32_t>(v);
}

void set_track_key(Track& t, std::string_view key, std::string_view val)
{
    if (key == "path") t.path = val;
    else if (key == "title") t.title = val;
    else if (key == "artist") t.artist = val;
    else if (key == "album") t.album = val;
    else if (key == "genre") t.genre = val;
    else if (key == "duration") t.duration = to_u32(leading_int(val, false));
    else if (key == "plays") t.plays = to_u32(leading_int(val, false));
    else if (key == "fav") t.fav = val == "true";
    else if (key == "track_num") t.track_num = to_i32(leading_int(val, true));
    else if (key == "year") t.year = to_i32(leading_int(val, true));
}

// The format has no escapes and no way to hold a line feed, so a tag text
// with one is kept on a single line: each line feed becomes a blank. (A
// carriage return is harmless: readers split lines at line feeds only.)
void append_value(std::string& out, const std::string& v)
{
    for (char c : v) out += c == '\n' ? ' ' : c;
}

void append_str(std::string& out, const char* key, const std::string& v)
{
    out += key;
    out += " = \"";
    append_value(out, v);
    out += "\"\n";
}

void append_num(std::string& out, const char* key, long long v)
{
    out += key;
    out += " = ";
    out += std::to_string(v);
    out += '\n';
}

}  // namespace

std::string_view catalog_trim(std::string_view s)
{
    auto trimmed = [](char c) { return c == ' ' || c == '\t' || c == '"'; };
    while (!s.empty() && trimmed(s.front())) s.remove_prefix(1);
    while (!s.empty() && trimmed(s.back())) s.remove_suffix(1);
    return s;
}

std::string default_catalog()
{
    return state_home() + "/library.toml";
}

bool Library::load_catalog()
{
    std::string text;
    if (!state_read(catalog_path, text)) return false;
    return load_catalog_text(text);
}

bool Library::load_catalog_text(const std::string& text)
{
    tracks.clear();
    bool in_track = false;
    Track cur;
    state_each_line(text, [&](std::string_view line) {
        if (line.size() >= 9 && line.find("[[track]]") != std::string_view::npos) {
            if (in_track) tracks.push_back(std::move(cur));
            cur = Track{};
            in_track = true;
            return;
        }
        size_t eq = line.find('=');
        if (eq == std::string_view::npos) return;
        std::string_view key = catalog_trim(line.substr(0, eq));
        std::string_view val = catalog_trim(line.substr(eq + 1));
        if (!in_track) {
            if (key == "scan_root") scan_root = val;
            return;
        }
        set_track_key(cur, key, val);
    });
    if (in_track) tracks.push_back(std::move(cur));
    load_playlists_text(*this, text);
    return !tracks.empty();
}

std::string Library::catalog_text() const
{
    std::string out;
    out.reserve(tracks.size() * 200 + 256);
    out += "# Lumora Music library catalog\n\n";
    if (!scan_root.empty()) {
        append_str(out, "scan_root", scan_root);
        out += '\n';
    }
    for (const Track& t : tracks) {
        out += "[[track]]\n";
        append_str(out, "path", t.path);
        append_str(out, "title", t.title);
        append_str(out, "artist", t.artist);
        append_str(out, "album", t.album);
        append_str(out, "genre", t.genre);
        append_num(out, "duration", t.duration);
        append_num(out, "plays", t.plays);
        out += t.fav ? "fav = true\n" : "fav = false\n";
        append_num(out, "track_num", t.track_num);
        append_num(out, "year", t.year);
        out += '\n';
    }
    save_playlists(*this, out);
    return out;
}

bool Library::save_catalog() const
{
    if (catalog_path.empty()) return false;
    return state_write(catalog_path, catalog_text());
}
