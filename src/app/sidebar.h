// The sidebar: search field, the library screens, playlists and the
// downloader entry.
#pragma once
#include <imgui.h>

#include <cstdint>

struct AppState;

void draw_sidebar(AppState& state);
void draw_sidebar_search(AppState& state);
void draw_sidebar_library(AppState& state);
void draw_library_nav(AppState& state);
void draw_playlist_sidebar(AppState& state);
// One navigation row; true when clicked.
bool nav_row(const char* label, bool selected, ImU32 colour, const char* icon, int count);

// What a library row does: the view, no playlist, no opened album, and the
// library reordered for that view (current and focus follow their songs).
void sidebar_show_view(AppState& state, int32_t view);
// Appends "Playlist <n>" (n = the new count) with no songs and shows it.
void sidebar_new_playlist(AppState& state);
