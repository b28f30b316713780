// Album tiles from the library and the search text, and the small texts
// and layout numbers of the grid.
#include <functional>
#include <string_view>
#include <unordered_set>

#include "app/album_grid.h"
#include "app/app_state.h"
#include "app/song_table.h"
#include "app/track_start.h"

namespace {

// Substring test against a lower-case needle without copying the haystack:
// it runs for every track on every frame while a search is typed.
bool contains_folded(const std::string& hay, const std::string& q) {
    if (q.size() > hay.size()) return false;
    for (size_t i = 0; i + q.size() <= hay.size(); ++i) {
        size_t k = 0;
        while (k < q.size() && fold_ascii(hay[i + k]) == q[k]) ++k;
        if (k == q.size()) return true;
    }
    return false;
}

}  // namespace

bool album_query_hit(const Track& t, const std::string& q) {
    return q.empty() || contains_folded(t.album, q) || contains_folded(t.artist, q) ||
           contains_folded(t.title, q);
}

void collect_albums(const AppState& s, std::vector<AlbumTile>& tiles) {
    tiles.clear();
    std::string q = lower_ascii(s.search);
    std::unordered_set<std::string> seen;
    const auto& tracks = s.library.tracks;
    for (size_t i = 0; i < tracks.size(); ++i) {
        const Track& t = tracks[i];
        if (!album_query_hit(t, q)) continue;
        std::string key = album_key(t);
        if (!seen.insert(key).second) continue;
        tiles.push_back({key, t.album.empty() ? "Unknown Album" : t.album,
                         t.artist.empty() ? "Unknown Artist" : t.artist, t.path, (int32_t)i});
    }
}

size_t album_tiles_sig(const AppState& s) {
    std::hash<std::string_view> h;
    size_t sig = h(s.search) ^ (s.library.tracks.size() * 0x9E3779B97F4A7C15ull);
    bool titles = s.search[0] != 0;
    auto mix = [&](const std::string& v) { sig = (sig ^ h(v)) * 0x100000001B3ull + 0x9E37; };
    for (const Track& t : s.library.tracks) {
        mix(t.path);
        mix(t.album);
        mix(t.artist);
        if (titles) mix(t.title);
    }
    return sig;
}

const std::vector<AlbumTile>& album_tiles(AppState& s) {
    if (!s.album_cache) s.album_cache = std::make_shared<AlbumGridCache>();
    AlbumGridCache& c = *s.album_cache;
    size_t sig = album_tiles_sig(s);
    if (!c.valid || sig != c.sig) {
        collect_albums(s, c.tiles);
        c.sig = sig;
        c.valid = true;
    }
    return c.tiles;
}

int album_grid_columns(float width, float tile) {
    int n = (int)(width / (tile + 18));
    return n < 1 ? 1 : n;
}

std::string album_header_line(const std::string& artist, int count) {
    return artist + "  \xC2\xB7  " + std::to_string(count) + " song" + (count == 1 ? "" : "s");
}
