// Playlists: [[playlist]] tables after the tracks of library.toml.
#include <algorithm>
#include <string_view>

#include "core/library.h"
#include "core/playlist.h"
#include "core/state.h"

bool Playlist::add_track(const std::string& path)
{
    if (std::find(paths.begin(), paths.end(), path) != paths.end()) return false;
    paths.push_back(path);
    return true;
}

bool Playlist::remove_track(const std::string& path)
{
    auto it = std::find(paths.begin(), paths.end(), path);
    if (it == paths.end()) return false;
    paths.erase(it);
    return true;
}

namespace {

// Paths between pairs of double quotes from the first '[' on. A backslash
// takes the next character literally, so a path holding a double quote (which
// the writer escapes) survives; ordinary paths contain neither and read as
// plain quote pairs.
std::vector<std::string> read_paths(std::string_view v)
{
    std::vector<std::string> out;
    size_t i = v.find('[');
    if (i == std::string_view::npos) return out;
    for (;;) {
        size_t open = v.find('"', i);
        if (open == std::string_view::npos) break;
        std::string cur;
        size_t j = open + 1;
        bool closed = false;
        for (; j < v.size(); ++j) {
            if (v[j] == '\\' && j + 1 < v.size()) {
                cur += v[++j];
            } else if (v[j] == '"') {
                closed = true;
                break;
            } else {
                cur += v[j];
            }
        }
        if (!closed) break;
        out.push_back(std::move(cur));
        i = j + 1;
    }
    return out;
}

// The name with blanks and quotes trimmed from both ends, keeping a trailing
// quote that the writer escaped, then with the writer's escapes undone.
std::string read_name(std::string_view v)
{
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    for (;;) {
        size_t before = v.size();
        while (!v.empty() && (blank(v.front()) || v.front() == '"')) v.remove_prefix(1);
        while (!v.empty() && blank(v.back())) v.remove_suffix(1);
        if (!v.empty() && v.back() == '"') {
            size_t bs = 0;
            while (bs + 1 < v.size() && v[v.size() - 2 - bs] == '\\') ++bs;
            if (bs % 2 == 0) v.remove_suffix(1);
        }
        if (v.size() == before) break;
    }
    std::string name;
    for (size_t i = 0; i < v.size(); ++i) {
        if (v[i] == '\\' && i + 1 < v.size()) ++i;
        name += v[i];
    }
    return name;
}

// Names and paths normally go out verbatim; only a backslash or a double quote
// is escaped (those could not be read back otherwise), and a line feed, which
// the line format cannot hold, becomes a blank.
std::string pl_value(const std::string& s)
{
    std::string out;
    for (char c : s) {
        if (c == '\n') c = ' ';
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out;
}

}  // namespace

void load_playlists_text(Library& library, const std::string& text)
{
    library.playlists.clear();
    bool in_pl = false;
    Playlist cur;
    state_each_line(text, [&](std::string_view line) {
        if (line.size() >= 12 && line.find("[[p") != std::string_view::npos &&
            line.find("[[playlist]]") != std::string_view::npos) {
            if (in_pl && !cur.name.empty()) library.playlists.push_back(std::move(cur));
            cur = Playlist{};
            in_pl = true;
            return;
        }
        if (!in_pl) return;
        size_t eq = line.find('=');
        if (eq == std::string_view::npos) return;
        std::string_view key = catalog_trim(line.substr(0, eq));
        if (key == "name") {
            cur.name = read_name(line.substr(eq + 1));
        } else if (key == "paths") {
            cur.paths = read_paths(line.substr(eq + 1));
        }
    });
    if (in_pl && !cur.name.empty()) library.playlists.push_back(std::move(cur));
}

void save_playlists(const Library& library, std::string& out)
{
    for (const Playlist& p : library.playlists) {
        out += "[[playlist]]\nname = \"" + pl_value(p.name) + "\"\npaths = [";
        for (size_t i = 0; i < p.paths.size(); ++i) {
            if (i) out += ", ";
            out += '"' + pl_value(p.paths[i]) + '"';
        }
        out += "]\n\n";
    }
}
