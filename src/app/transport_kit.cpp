// The transport bar's controls: the round icon button, the seek slider and
// the small decisions behind them.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/theme.h"
#include "app/transport.h"

double seek_bar_value(float mouse_x, float left, float width, double max) {
    if (max <= 0) max = 1;
    if (width <= 0) return 0;
    return max * std::clamp((double)(mouse_x - left) / width, 0.0, 1.0);
}

std::string transport_fmt_time(double seconds) {
    int s = seconds > 0 && std::isfinite(seconds) ? (int)seconds : 0;
    char b[32];
    std::snprintf(b, sizeof b, "%d:%02d", s / 60, s % 60);
    return b;
}

int transport_repeat_next(int repeat) { return ((repeat % 3) + 3 + 1) % 3; }

std::string transport_repeat_tip(int repeat, const std::string& l) {
    if (repeat == 1) return "Looping " + l + " \xE2\x80\x94 click to loop this song";
    if (repeat == 2) return "Looping this song \xE2\x80\x94 click to turn off";
    return "Repeat off \xE2\x80\x94 click to loop " + l;
}

bool icon_button(const char* id, const char* glyph, bool filled, float r, ImU32 colour) {
    ImVec2 p = ImGui::GetCursorScreenPos();
    ImGui::PushID(id);
    bool clicked = ImGui::InvisibleButton("##ib", ImVec2(2 * r, 2 * r));
    bool hov = ImGui::IsItemHovered();
    ImGui::PopID();
    ImDrawList* l = ImGui::GetWindowDrawList();
    ImVec2 c(p.x + r, p.y + r);
    if (filled) {
        l->AddCircleFilled(c, r, colour, 32);
        draw_transport_glyph(l, glyph, kWhite, c, r);
    } else {
        if (hov) l->AddCircleFilled(c, r, kHover, 32);
        draw_transport_glyph(l, glyph, colour, c, r);
    }
    return clicked;
}

bool seek_bar(const char* id, double& value, double max, float b, ImU32 track, ImU32 fill) {
    ImVec2 p = ImGui::GetCursorScreenPos();
    ImGui::PushID(id);
    ImGui::InvisibleButton("##sk", ImVec2(std::max(1.0f, b), 20));
    bool held = ImGui::IsItemActive(), hov = ImGui::IsItemHovered();
    ImGui::PopID();
    double m = max > 0 ? max : 1;
    if (held) value = seek_bar_value(ImGui::GetIO().MousePos.x, p.x, b, m);
    ImDrawList* l = ImGui::GetWindowDrawList();
    float cy = p.y + 10;
    l->AddRectFilled(ImVec2(p.x, cy - 2), ImVec2(p.x + b, cy + 2), track, 2);
    float fx = p.x + b * (float)std::clamp(value / m, 0.0, 1.0);
    if (fx - p.x >= 1) l->AddRectFilled(ImVec2(p.x, cy - 2), ImVec2(fx, cy + 2), fill, 2);
    if (held || hov) l->AddCircleFilled(ImVec2(fx, cy), held ? 7.0f : 5.0f, fill, 16);
    return held;
}
