// The transport bar at the bottom of the content column and its drawing kit
// (round icon buttons, the seek slider and the transport glyphs), which the
// album grid reuses.
#pragma once
#include <imgui.h>

#include <string>

struct AppState;

// Bar height: taller in I/O editing mode to make room for its buttons.
float transport_h(const AppState& state);
void draw_transport(AppState& state);
void draw_now_playing(AppState& state, float width);
void draw_transport_controls(AppState& state, float width);
void transport_repeat(AppState& state, float radius);
void draw_transport_seek(AppState& state, float width);

// Round button of radius r; filled draws a disc in `colour` with a white glyph.
bool icon_button(const char* id, const char* glyph, bool filled, float r, ImU32 colour);
// Horizontal slider b wide; writes `value` and returns true while held.
bool seek_bar(const char* id, double& value, double max, float b, ImU32 track, ImU32 fill);

// A transport glyph ("play", "pause", "prev", "next", "shuf", "rept") as it
// sits in a round button: the vector icon, "play" nudged to look centred.
void draw_transport_glyph(ImDrawList* list, const char* glyph, ImU32 colour, ImVec2 c, float s);
// The vector icon of a transport glyph.
void draw_transport_icon(ImDrawList* list, const char* glyph, ImU32 colour, ImVec2 c, float s);

// --- decisions kept apart from drawing ---

// Slider value for a mouse x: max (at least 1 when not positive) times the
// clamped fraction of the width.
double seek_bar_value(float mouse_x, float left, float width, double max);
// "m:ss" of whole seconds, truncated toward zero; negative times read 0:00.
std::string transport_fmt_time(double seconds);
// Repeat mode after a click: off -> list -> song -> off.
int transport_repeat_next(int repeat);
// Tooltip of the repeat button for a mode and the looped list's name.
std::string transport_repeat_tip(int repeat, const std::string& list_name);
