// The Albums view: a grid of album tiles with covers, the opened album's
// header, and the cover thumbnails of song-table rows.
#pragma once
#include <imgui.h>

#include <cstdint>
#include <string>
#include <vector>

struct AppState;
struct Track;

// One tile per album key, in library order.
struct AlbumTile {
    std::string key;     // album, line feed, artist
    std::string title;   // album, or "Unknown Album"
    std::string artist;  // artist, or "Unknown Artist"
    std::string path;    // first matching track, used to find the cover
    int32_t first = -1;  // library index of that track
};

// Fills `tiles` for the current search (the list is emptied first).
void collect_albums(const AppState& state, std::vector<AlbumTile>& tiles);
// The tiles of this frame: collect_albums, reused while nothing they depend
// on (track paths, albums, artists, titles when searching, search) changed.
struct AlbumGridCache {
    size_t sig = 0;
    bool valid = false;
    std::vector<AlbumTile> tiles;
};
const std::vector<AlbumTile>& album_tiles(AppState& state);
// Fingerprint of everything the tiles are made from.
size_t album_tiles_sig(const AppState& state);
// Whether a track matches a lower-case search text (empty matches all).
bool album_query_hit(const Track& track, const std::string& query);
// Grid columns for a width and tile size (18-pixel gaps), at least 1.
int album_grid_columns(float width, float tile);
// "%s  ·  %d song%s" under the opened album's title.
std::string album_header_line(const std::string& artist, int count);

void draw_album_grid(AppState& state);
void draw_album_tile(AppState& state, const AlbumTile& tile, float size);
// The round play badge of a hovered tile; true when the mouse is over it.
bool tile_play_badge(ImDrawList* list, bool hovered, ImVec2 pos, float size);
// The opened album's header; false when it was closed this frame.
bool draw_album_header(AppState& state);
bool album_play_pill(const char* id);
// The cover thumbnail at a row's start, s x s.
void draw_row_thumb(const Track& track, float size);
