// The widget kit of the look: symbol buttons, label buttons, settings rows,
// segmented control, sliders, switch, splitter and the soft shadow.
#pragma once
#include <imgui.h>

#include <string>

struct AppState;

// Symbol button of (size + 6) squared; shows the tooltip text in place of an
// unknown symbol. Returns clicked.
bool sf_button(const char* id, const char* symbol, const char* tooltip, ImU32 colour, float size);
// Symbol followed by a label, hover-highlighted. Returns clicked.
bool sf_label_button(const char* symbol, const char* label, ImU32 colour, float size);

// Settings rows: a 156-pixel label column, then the control on the same line.
void ui_row(AppState& state, const char* label);
void ui_note(AppState& state, const char* text);
void ui_section(AppState& state, const char* title);
// Segmented control; true when `index` changed.
bool ui_segment(const char* id, const char* const* labels, int count, int* index);
// Horizontal slider w wide with its value text on the right; true when changed.
bool ui_slider(AppState& state, const char* id, float* value, float lo, float hi,
               const char* format, float w);
bool ui_slider_i(AppState& state, const char* id, int* value, int lo, int hi, const char* format,
                 float w);
// Animated on/off switch; returns clicked.
bool ui_switch(const char* id, bool* flag);
// Full-width horizontal grip; returns whole `step`s dragged upward this frame.
int ui_splitter(const char* id, float* drag, float step, bool* double_click);
// Six-layer soft shadow under a rounded rectangle, strength 0..1.
void ui_soft_shadow(ImDrawList* list, ImVec2 p0, ImVec2 p1, float rounding, float strength,
                    ImU32 colour = IM_COL32(0, 0, 0, 255));

// --- decisions kept apart from drawing ---

// Slider value for a mouse x over a slider at x, w wide (10-pixel insets).
float ui_slider_value(float mouse_x, float x, float w, float lo, float hi);
// An integer slider's value text: `format` applied, every '%' replaced by a blank.
std::string ui_slider_i_text(const char* format, int value);
// Whole steps taken out of a drag accumulator (the remainder stays in it).
int ui_splitter_steps(float* drag, float step);
