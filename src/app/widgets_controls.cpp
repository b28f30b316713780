// The kit's value controls: sliders, the switch and the splitter.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/theme.h"
#include "app/widgets.h"
#include "app/app_state.h"

float ui_slider_value(float mouse_x, float x, float w, float lo, float hi) {
    float span = std::max(1.0f, w - 20);
    return lo + std::clamp((mouse_x - x - 10) / span, 0.0f, 1.0f) * (hi - lo);
}

std::string ui_slider_i_text(const char* format, int value) {
    char buf[128];
    std::snprintf(buf, sizeof buf, format, value);
    std::string s = buf;
    std::replace(s.begin(), s.end(), '%', ' ');
    return s;
}

int ui_splitter_steps(float* drag, float step) {
    if (step <= 0) return 0;
    int n = (int)(*drag / step);  // toward zero, so the remainder keeps its sign
    *drag -= n * step;
    return n;
}

bool ui_slider(AppState& state, const char* id, float* value, float lo, float hi, const char* format,
               float w) {
    ImVec2 p = ImGui::GetCursorScreenPos();
    ImGui::InvisibleButton(id, ImVec2(w, 30));
    float old = *value;
    if (ImGui::IsItemActive()) *value = ui_slider_value(ImGui::GetIO().MousePos.x, p.x, w, lo, hi);
    ImDrawList* l = ImGui::GetWindowDrawList();
    float x0 = p.x + 10, x1 = p.x + w - 10;
    float t = hi > lo ? std::clamp((*value - lo) / (hi - lo), 0.0f, 1.0f) : 0.0f;
    float kx = x0 + (x1 - x0) * t;
    l->AddRectFilled(ImVec2(x0, p.y + 13), ImVec2(x1, p.y + 17), kBorder, 2);
    l->AddRectFilled(ImVec2(x0, p.y + 13), ImVec2(kx, p.y + 17), kText, 2);
    l->AddCircleFilled(ImVec2(kx, p.y + 16.5f), 10.5f, IM_COL32(0, 0, 0, 28), 24);
    l->AddCircleFilled(ImVec2(kx, p.y + 15), 10, kWhite, 24);
    l->AddCircle(ImVec2(kx, p.y + 15), 10, IM_COL32(0, 0, 0, 22), 24);
    char buf[64];
    std::snprintf(buf, sizeof buf, format, *value);
    ImFont* f = state.fonts.body ? state.fonts.body : ImGui::GetFont();
    l->AddText(f, 13, ImVec2(p.x + w + 10, p.y + 7), kTextMuted, buf);
    return *value != old;
}

bool ui_slider_i(AppState& state, const char* id, int* value, int lo, int hi, const char* format, float w) {
    std::string text = ui_slider_i_text(format, *value);
    float v = (float)*value;
    // The text is used as a literal format: no '%' remains in it.
    if (!ui_slider(state, id, &v, (float)lo, (float)hi, text.c_str(), w)) return false;
    int r = (int)std::lround(v);
    if (r == *value) return false;
    *value = r;
    return true;
}

bool ui_switch(const char* id, bool* flag) {
    ImVec2 p = ImGui::GetCursorScreenPos();
    bool clicked = ImGui::InvisibleButton(id, ImVec2(46, 28));
    if (clicked) *flag = !*flag;
    // The knob position is per-widget animation state, kept in ImGui's storage.
    float* t = ImGui::GetStateStorage()->GetFloatRef(ImGui::GetID(id), *flag ? 1.0f : 0.0f);
    float step = ImGui::GetIO().DeltaTime / 0.12f;
    *t = *flag ? std::min(1.0f, *t + step) : std::max(0.0f, *t - step);
    ImDrawList* l = ImGui::GetWindowDrawList();
    l->AddRectFilled(p, ImVec2(p.x + 46, p.y + 28),
                     *t > 0.5f ? IM_COL32(52, 199, 89, 255) : IM_COL32(233, 233, 235, 255), 14);
    ImVec2 k(p.x + 14 + 18 * *t, p.y + 14);
    l->AddCircleFilled(ImVec2(k.x, k.y + 1), 12.5f, IM_COL32(0, 0, 0, 30), 24);
    l->AddCircleFilled(k, 12, kWhite, 24);
    return clicked;
}

int ui_splitter(const char* id, float* drag, float step, bool* double_click) {
    ImGui::PushStyleVar(ImGuiStyleVar_ItemSpacing, ImVec2(0, 0));
    ImVec2 p = ImGui::GetCursorScreenPos();
    float w = ImGui::GetContentRegionAvail().x;
    ImGui::InvisibleButton(id, ImVec2(std::max(1.0f, w), 8));
    bool hov = ImGui::IsItemHovered(), held = ImGui::IsItemActive();
    if (hov && ImGui::IsMouseDoubleClicked(0) && double_click) *double_click = true;
    if (hov || held) ImGui::SetMouseCursor(ImGuiMouseCursor_ResizeNS);
    float gw = hov || held ? 44 : 32;
    ImGui::GetWindowDrawList()->AddRectFilled(ImVec2(p.x + (w - gw) / 2, p.y + 4),
                                              ImVec2(p.x + (w + gw) / 2, p.y + 7),
                                              hov || held ? kTextMuted : kBorder, 1.5f);
    ImGui::PopStyleVar();
    if (!held) {
        *drag = 0;
        return 0;
    }
    *drag -= ImGui::GetIO().MouseDelta.y;  // upward movement is positive
    return ui_splitter_steps(drag, step);
}
