// The trash index file and the choice of trash folders.
#include "core/trash.h"

#include <climits>
#include <cstdlib>
#include <sys/stat.h>

#include "core/file_names.h"
#include "core/state.h"
#include "core/system_trash.h"
#include "core/track.h"

std::string trash_index_file()
{
    return state_path("trash.toml");
}

static long long after_eq(const std::string& line)
{
    return std::atoll(toml_value(line).c_str());
}

static uint32_t to_u32(long long v)
{
    return v < 0 ? 0 : v > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(v);
}

static int32_t to_i32(long long v)
{
    return v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : static_cast<int32_t>(v);
}

static void set_key(TrashEntry& e, const std::string& key, const std::string& line)
{
    Track& t = e.track;
    if (key == "from") t.path = io_toml_str(line);
    else if (key == "at") e.at = io_toml_str(line);
    else if (key == "title") t.title = io_toml_str(line);
    else if (key == "artist") t.artist = io_toml_str(line);
    else if (key == "album") t.album = io_toml_str(line);
    else if (key == "genre") t.genre = io_toml_str(line);
    else if (key == "duration") t.duration = to_u32(after_eq(line));
    else if (key == "plays") t.plays = to_u32(after_eq(line));
    else if (key == "track_num") t.track_num = to_i32(after_eq(line));
    else if (key == "year") t.year = to_i32(after_eq(line));
    else if (key == "when") e.when = after_eq(line);
    else if (key == "fav") t.fav = toml_value(line).find("true") != std::string::npos;
    else if (key == "playlists") e.playlists = toml_str_list(line);
}

std::vector<TrashEntry> trash_parse(const std::string& text)
{
    std::vector<TrashEntry> entries;
    for (const std::string& line : state_lines(text)) {
        std::string key = toml_key(line);
        if (key == "[[trashed]]") {
            entries.emplace_back();
        } else if (!entries.empty()) {
            set_key(entries.back(), key, line);
        }
    }
    return entries;
}

void trash_load(TrashState& state)
{
    if (state.path.empty()) state.path = trash_index_file();
    state.entries.clear();
    std::string text;
    if (!state_read(state.path, text)) return;
    for (TrashEntry& e : trash_parse(text)) {
        struct stat st {};
        if (!e.at.empty() && ::lstat(e.at.c_str(), &st) == 0) state.entries.push_back(std::move(e));
    }
}

// Quoted and escaped, with line breaks turned into blanks: the format is one
// line per key and a tag text with a line break would split a record.
static std::string q(const std::string& s)
{
    std::string one = s;
    for (char& c : one)
        if (c == '\n' || c == '\r') c = ' ';
    return "\"" + io_toml_esc(one) + "\"";
}

std::string trash_text(const std::vector<TrashEntry>& entries)
{
    std::string out = "# Lumora Music — Trash bin (deleted songs; Restore puts them back)\n\n";
    for (const TrashEntry& e : entries) {
        const Track& t = e.track;
        std::vector<std::string> lists = e.playlists;
        for (std::string& n : lists)
            for (char& c : n)
                if (c == '\n' || c == '\r') c = ' ';
        out += "[[trashed]]\nfrom = " + q(t.path) + "\nat = " + q(e.at) + "\ntitle = " + q(t.title) +
               "\nartist = " + q(t.artist) + "\nalbum = " + q(t.album) + "\ngenre = " + q(t.genre) +
               "\nduration = " + std::to_string(t.duration) + "\nplays = " + std::to_string(t.plays) +
               "\nfav = " + (t.fav ? "true" : "false") + "\ntrack_num = " + std::to_string(t.track_num) +
               "\nyear = " + std::to_string(t.year) + "\nwhen = " + std::to_string(e.when) +
               "\nplaylists = " + toml_str_list_write(lists) + "\n\n";
    }
    return out;
}

bool trash_save(const TrashState& state)
{
    if (state.path.empty()) return false;
    return state_write(state.path, trash_text(state.entries));
}

std::string trash_dir_for(const std::string& path)
{
    struct stat file {}, home {};
    const char* h = std::getenv("HOME");
    if (::stat(path.c_str(), &file) == 0 && h && ::stat(h, &home) == 0 && file.st_dev != home.st_dev) {
        std::string mp = sys_mount_point(path);
        if (!mp.empty()) {
            std::string dir = (mp == "/" ? "" : mp) + "/.lumoramusic-trash";
            ::mkdir(dir.c_str(), 0755);
            return dir;
        }
    }
    std::string dir = state_home() + "/trash";
    state_mkdirs(dir);
    return dir;
}

std::string trash_target(const std::string& path)
{
    return io_unique_path(trash_dir_for(path), io_hash_hex(path) + "-" + path_stem(path), io_file_ext(path));
}
