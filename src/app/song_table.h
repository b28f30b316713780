// The song table of the song views (Recent, Songs, Artists, Playlist and an
// opened album): columns, sorting, row filtering, selection, keys and the
// row's context menu.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct AppState;
struct Track;
class Library;
enum class View : int32_t;

// --- drawing ---
void draw_tracklist(AppState& state);
void tracklist_header(AppState& state);
void setup_tracklist_columns(AppState& state);
void apply_table_sort(AppState& state);
void draw_tracklist_rows(AppState& state, const std::string& query);
void draw_tracklist_row(AppState& state, int32_t index, const Track& track);
void draw_track_ctx(AppState& state, int32_t index, const Track& track);

// --- texts ---
std::string tracklist_title(View view);
std::string tracklist_fmt_sec(uint32_t seconds);  // "m:ss"

// --- order ---
// Empty sorts last; otherwise bytes with ASCII letters folded to small ones.
int text_cmp(const std::string& a, const std::string& b);
// Whether x sorts before y in the column with this header label.
bool track_col_less(const Track& x, const Track& y, const std::string& column);
// Stable sort by a column; `current` and `focus` follow their tracks' paths
// (-1 when a path is gone).
void table_sort_tracks(std::vector<Track>& tracks, const std::string& column, bool ascending,
                       int32_t& current, int32_t& focus);
// Runs a library reordering, keeping `current` and `focus` on their songs.
void library_sort_keep(AppState& state, void (Library::*sort)());

// --- rows ---
// An ASCII capital to its small letter; every other byte unchanged.
inline char fold_ascii(char c) { return c >= 'A' && c <= 'Z' ? (char)(c - 'A' + 'a') : c; }
// fold_ascii over a whole text.
std::string lower_ascii(const std::string& text);
// Whether a track is a row of the current view for a lower-case filter.
bool track_row_visible(const AppState& state, const Track& track, const std::string& query);
// The visible rows of the current view, in library order.
std::vector<int32_t> tracklist_rows(const AppState& state, const std::string& query);

// --- selection and keys ---
bool track_row_selected(const AppState& state, int32_t index);
void list_click_select(AppState& state, int32_t index);
void list_click_select_mods(AppState& state, int32_t index, bool shift, bool cmd);
int32_t list_step_visible(const AppState& state, int32_t from, int32_t step);
std::vector<std::string> list_selection_paths(const AppState& state, int32_t index);
void handle_list_keys(AppState& state);
void handle_select_all(AppState& state);
// Select-all on the current view's visible rows (what Ctrl+A does).
void list_select_all(AppState& state);
// Whether the arrow, Enter and select-all keys act in this view.
bool list_keys_view(const AppState& state);

// --- playlists from the context menu ---
// Appends each path not yet in the playlist; the number appended.
int playlist_add_paths(AppState& state, int32_t playlist, const std::vector<std::string>& paths);
// A new playlist "Playlist <count + 1>" holding the paths; its index.
int32_t playlist_new_with(AppState& state, const std::vector<std::string>& paths);
// Forgets the songs' In/Out points as one undo step; returns its label.
std::string list_clear_io(const std::vector<std::string>& paths);
