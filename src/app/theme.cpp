// Style metrics and colours of the player's light look.
#include "app/theme.h"

#include <algorithm>

ImU32 col_alpha(ImU32 col, float alpha) {
    int a = (int)(std::clamp(alpha, 0.0f, 1.0f) * 255.0f + 0.5f);
    return (col & ~IM_COL32_A_MASK) | ((ImU32)a << IM_COL32_A_SHIFT);
}

ImVec4 col_vec(ImU32 col) { return ImGui::ColorConvertU32ToFloat4(col); }

void apply_music_theme() {
    ImGui::StyleColorsLight();
    ImGuiStyle& s = ImGui::GetStyle();
    s.WindowPadding = ImVec2(0, 0);
    s.WindowBorderSize = 0;
    s.ChildRounding = 0;
    s.ChildBorderSize = 1;
    s.PopupRounding = 8;
    s.FramePadding = ImVec2(8, 5);
    s.FrameRounding = 6;
    s.FrameBorderSize = 0;
    s.ItemSpacing = ImVec2(8, 4);
    s.ItemInnerSpacing = ImVec2(6, 4);
    s.CellPadding = ImVec2(6, 4);
    s.ScrollbarSize = 7;
    s.ScrollbarRounding = 8;
    s.GrabRounding = 4;
    s.TabRounding = 6;
    apply_music_colors();
}

void apply_music_colors() {
    ImVec4* c = ImGui::GetStyle().Colors;
    c[ImGuiCol_Text] = col_vec(kText);
    c[ImGuiCol_TextDisabled] = col_vec(kTextMuted);
    c[ImGuiCol_WindowBg] = col_vec(kBg);
    c[ImGuiCol_ChildBg] = col_vec(kContentBg);
    c[ImGuiCol_PopupBg] = col_vec(kWhite);
    c[ImGuiCol_Border] = col_vec(kBorder);
    c[ImGuiCol_FrameBg] = col_vec(kHover);
    c[ImGuiCol_FrameBgHovered] = col_vec(kSlider);
    c[ImGuiCol_FrameBgActive] = col_vec(kAccentSoft);
    c[ImGuiCol_ScrollbarBg] = ImVec4(0, 0, 0, 0);
    c[ImGuiCol_ScrollbarGrab] = col_vec(IM_COL32(200, 200, 204, 255));
    c[ImGuiCol_ScrollbarGrabHovered] = col_vec(IM_COL32(160, 160, 164, 255));
    c[ImGuiCol_ScrollbarGrabActive] = col_vec(kAccent);
    c[ImGuiCol_SliderGrab] = col_vec(kAccent);
    c[ImGuiCol_SliderGrabActive] = col_vec(kAccent);
    c[ImGuiCol_Button] = ImVec4(0, 0, 0, 0);
    c[ImGuiCol_ButtonHovered] = col_vec(kHover);
    c[ImGuiCol_ButtonActive] = col_vec(kAccentSoft);
    c[ImGuiCol_Header] = col_vec(kAccentSoft);
    c[ImGuiCol_HeaderHovered] = col_vec(kHover);
    c[ImGuiCol_HeaderActive] = col_vec(kAccentSoft);
    c[ImGuiCol_Separator] = col_vec(kBorder);
    c[ImGuiCol_TableHeaderBg] = col_vec(IM_COL32(245, 245, 247, 255));
    c[ImGuiCol_TableBorderStrong] = col_vec(kBorder);
    c[ImGuiCol_TableBorderLight] = col_vec(IM_COL32(235, 235, 238, 255));
    c[ImGuiCol_TableRowBg] = col_vec(kWhite);
    c[ImGuiCol_TableRowBgAlt] = col_vec(kRowAlt);
    c[ImGuiCol_TextSelectedBg] = col_vec(kAccentSoft);
    // 1.86 calls the keyboard-navigation cursor "NavHighlight".
    c[ImGuiCol_NavHighlight] = col_vec(kAccent);
}
