// Per-area zoom: Ctrl+wheel over a marked area and Ctrl+plus/minus/0 change
// that area's zoom value (kept with the display settings), with a fading
// indicator beside the mouse; changes are saved once they stop for 0.4 s.
#pragma once
#include <string>

struct AppState;
struct ChordSettings;
struct GLFWwindow;
struct ZoomUi;

// Zoom areas.
enum ZoomArea : int { kZoomNone = 0, kZoomSongs = 1, kZoomAlbums = 2, kZoomChords = 3, kZoomLyrics = 4 };

// Before the UI frame starts: with Ctrl held, takes this frame's wheel amount
// away from scrolling into zoom.wheel.
void zoom_grab_wheel(GLFWwindow* window, ZoomUi& zoom);
// After a view is drawn: when the mouse is over it, between `top` and the
// cursor, it becomes the zoom area of this frame.
void zoom_mark(ZoomUi& zoom, int area, float top);
// End of the content: applies wheel and keys, saves pending changes, draws
// the indicator.
void zoom_apply(AppState& state);
void zoom_step(AppState& state, int area, bool reset, bool lines, float amount);
void zoom_changed(AppState& state, const std::string& text);
void zoom_hud(AppState& state);
// Loads the display settings from disk on first use.
void zoom_settings_ensure(AppState& state);

// The value change of one zoom step; returns the indicator text.
std::string zoom_step_settings(ChordSettings& s, float& lines_acc, int area, bool reset, bool lines,
                               float amount);
