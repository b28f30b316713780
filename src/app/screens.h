// The screens and look hooks the frame loop calls, each defined once in its
// own feature file.
#pragma once
#include "app/app_state.h"
#include "app/fonts.h"
#include "app/theme.h"
#include "app/transport.h"

struct GLFWwindow;

// Sidebar child on the left (200 px wide).
void draw_sidebar(AppState& state);
// The song table of the song views (Recent, Songs, Artists, Playlist, an opened album).
void draw_song_table(AppState& state);
// The album grid, or the opened album.
void draw_album_grid(AppState& state);
// Window icon (and what stands for the dock icon on Linux).
void set_dock_icon(GLFWwindow* window);
// Arrow keys, Enter and friends on the song table.
void handle_list_keys(AppState& state);
// Ctrl+A on the song table.
void handle_select_all(AppState& state);
// Takes this frame's Ctrl+wheel out of the input queue into `zoom`.
void zoom_grab_wheel(GLFWwindow* window, ZoomUi& zoom);
// Applies this frame's zoom input to the area under the mouse.
void zoom_apply(AppState& state);
