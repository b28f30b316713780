// Which tracks are rows of the current view: the opened album, the selected
// playlist and the search filter.
#include <algorithm>
#include <unordered_set>

#include "app/album_grid.h"
#include "app/app_state.h"
#include "app/song_table.h"
#include "app/track_start.h"

namespace {

const Playlist* shown_playlist(const AppState& s) {
    if (s.view != View::Playlist || s.playlist_sel < 0 ||
        (size_t)s.playlist_sel >= s.library.playlists.size())
        return nullptr;
    return &s.library.playlists[(size_t)s.playlist_sel];
}

bool album_filter(const AppState& s) { return s.view == View::Albums && !s.open_album_key.empty(); }

}  // namespace

std::string lower_ascii(const std::string& text) {
    std::string out = text;
    for (char& c : out) c = fold_ascii(c);
    return out;
}

bool track_row_visible(const AppState& s, const Track& t, const std::string& q) {
    if (album_filter(s) && album_key(t) != s.open_album_key) return false;
    if (const Playlist* p = shown_playlist(s)) {
        if (std::find(p->paths.begin(), p->paths.end(), t.path) == p->paths.end()) return false;
    }
    return q.empty() || album_query_hit(t, q);
}

std::vector<int32_t> tracklist_rows(const AppState& s, const std::string& q) {
    // Same rule as track_row_visible, with the playlist looked up through a
    // set so a large library stays cheap every frame.
    std::vector<int32_t> rows;
    const Playlist* p = shown_playlist(s);
    std::unordered_set<std::string> in_list;
    if (p) in_list.insert(p->paths.begin(), p->paths.end());
    bool by_album = album_filter(s);
    const auto& tracks = s.library.tracks;
    rows.reserve(tracks.size());
    for (size_t i = 0; i < tracks.size(); ++i) {
        const Track& t = tracks[i];
        if (by_album && album_key(t) != s.open_album_key) continue;
        if (p && !in_list.count(t.path)) continue;
        if (!q.empty() && !album_query_hit(t, q)) continue;
        rows.push_back((int32_t)i);
    }
    return rows;
}
