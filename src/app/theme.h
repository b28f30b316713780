// The player's one light look: the named palette and the themed ImGui style.
#pragma once
#include <imgui.h>

// Palette (sRGB, opaque), as packed draw-list colours.
constexpr ImU32 kAccent = IM_COL32(255, 45, 85, 255);
constexpr ImU32 kAccentSoft = IM_COL32(255, 230, 236, 255);
constexpr ImU32 kText = IM_COL32(29, 29, 31, 255);
constexpr ImU32 kTextMuted = IM_COL32(134, 134, 139, 255);
constexpr ImU32 kBorder = IM_COL32(220, 220, 224, 255);
constexpr ImU32 kHover = IM_COL32(242, 242, 247, 255);
constexpr ImU32 kSlider = IM_COL32(200, 200, 204, 255);
constexpr ImU32 kSidebarBg = IM_COL32(245, 245, 247, 255);
constexpr ImU32 kContentBg = IM_COL32(255, 255, 255, 255);
constexpr ImU32 kTransport = IM_COL32(252, 252, 252, 255);
constexpr ImU32 kBg = IM_COL32(250, 250, 250, 255);
constexpr ImU32 kWhite = IM_COL32(255, 255, 255, 255);
constexpr ImU32 kRowAlt = IM_COL32(248, 248, 250, 255);
constexpr ImU32 kFnTonicC = IM_COL32(0, 112, 230, 255);
constexpr ImU32 kFnSubC = IM_COL32(36, 150, 70, 255);
constexpr ImU32 kFnDomC = IM_COL32(225, 120, 0, 255);

// The accent as floats, for colours built by scaling (play pill, buttons).
inline const ImVec4 kAccentF{1.0f, 0.1764706f, 0.33333334f, 1.0f};

// Packed colour with its alpha replaced (0..1).
ImU32 col_alpha(ImU32 col, float alpha);
// Packed colour as a style colour.
ImVec4 col_vec(ImU32 col);

// Light base style with the player's metrics, then apply_music_colors.
void apply_music_theme();
// The style colour table of the look.
void apply_music_colors();
