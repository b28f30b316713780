// Sort order of the song table and the texts of its columns.
#include <algorithm>
#include <cstdio>

#include "app/app_state.h"
#include "app/song_table.h"

namespace {

bool title_less(const Track& x, const Track& y) { return text_cmp(x.title, y.title) < 0; }

std::string path_at(const std::vector<Track>& t, int32_t i) {
    return i >= 0 && (size_t)i < t.size() ? t[(size_t)i].path : std::string();
}

// The last track with this path, or -1.
int32_t last_with_path(const std::vector<Track>& t, const std::string& path) {
    if (path.empty()) return -1;
    for (size_t i = t.size(); i-- > 0;)
        if (t[i].path == path) return (int32_t)i;
    return -1;
}

// Runs `reorder`, then points current and focus at their tracks again.
template <class Fn>
void reorder_keeping(std::vector<Track>& t, int32_t& current, int32_t& focus, Fn&& reorder) {
    std::string cur = path_at(t, current), foc = path_at(t, focus);
    reorder();
    current = last_with_path(t, cur);
    focus = last_with_path(t, foc);
}

}  // namespace

int text_cmp(const std::string& a, const std::string& b) {
    if (a.empty() != b.empty()) return a.empty() ? 1 : -1;
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = (unsigned char)fold_ascii(a[i]), y = (unsigned char)fold_ascii(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool track_col_less(const Track& x, const Track& y, const std::string& c) {
    if (c == "Title") return title_less(x, y);
    if (c == "Artist") {
        int r = text_cmp(x.artist, y.artist);
        return r != 0 ? r < 0 : title_less(x, y);
    }
    if (c == "Album") {
        int r = text_cmp(x.album, y.album);
        if (r != 0) return r < 0;
        if (x.track_num != y.track_num) return x.track_num < y.track_num;
        return title_less(x, y);
    }
    if (c == "Time") return x.duration < y.duration;
    if (c == "Genre") return text_cmp(x.genre, y.genre) < 0;
    if (c == "\xE2\x99\xA5") return !x.fav && y.fav;
    if (c == "Plays") return x.plays < y.plays;
    return false;
}

void table_sort_tracks(std::vector<Track>& tracks, const std::string& column, bool ascending,
                       int32_t& current, int32_t& focus) {
    reorder_keeping(tracks, current, focus, [&] {
        std::stable_sort(tracks.begin(), tracks.end(), [&](const Track& x, const Track& y) {
            return ascending ? track_col_less(x, y, column) : track_col_less(y, x, column);
        });
    });
}

void library_sort_keep(AppState& state, void (Library::*sort)()) {
    reorder_keeping(state.library.tracks, state.current, state.focus, [&] { (state.library.*sort)(); });
}

std::string tracklist_title(View view) {
    switch (view) {
    case View::Recent: return "Recently Added";
    case View::Artists: return "Artists";
    case View::Albums: return "Albums";
    case View::Playlist: return "Playlists";
    case View::Trash: return "Trash";
    default: return "Songs";
    }
}

std::string tracklist_fmt_sec(uint32_t seconds) {
    char b[32];
    std::snprintf(b, sizeof b, "%u:%02u", seconds / 60, seconds % 60);
    return b;
}
