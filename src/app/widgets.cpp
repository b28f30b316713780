// Buttons and settings rows of the widget kit.
#include "app/widgets.h"

#include <imgui_internal.h>

#include <cmath>
#include <cstdio>

#include "app/app_state.h"
#include "app/glyphs.h"
#include "app/theme.h"

namespace {

ImU32 faded(ImU32 c) { return col_alpha(c, ((c >> IM_COL32_A_SHIFT) & 0xFF) / 255.0f * ImGui::GetStyle().Alpha); }

}  // namespace

bool sf_button(const char* id, const char* symbol, const char* tooltip, ImU32 colour, float size) {
    ImVec2 p = ImGui::GetCursorScreenPos();
    float box = size + 6;
    bool clicked = ImGui::InvisibleButton(id, ImVec2(box, box));
    ImDrawList* l = ImGui::GetWindowDrawList();
    bool hov = ImGui::IsItemHovered();
    if (hov) l->AddRectFilled(p, ImVec2(p.x + box, p.y + box), kHover, 6);
    ImVec2 c(p.x + box / 2, p.y + box / 2);
    if (!sf_draw(l, symbol, faded(colour), c, size) && tooltip && *tooltip)
        l->AddText(ImVec2(p.x + 3, p.y + 3), faded(colour), tooltip);
    if (hov && tooltip && *tooltip) ImGui::SetTooltip("%s", tooltip);
    return clicked;
}

bool sf_label_button(const char* symbol, const char* label, ImU32 colour, float size) {
    ImVec2 p = ImGui::GetCursorScreenPos();
    ImVec2 ts = ImGui::CalcTextSize(label, nullptr, true);
    float w = size + 4 + 7 + 4 + ts.x + 7, h = std::max(size, ts.y) + 2;
    bool clicked = ImGui::InvisibleButton(label, ImVec2(w, h));
    ImDrawList* l = ImGui::GetWindowDrawList();
    if (ImGui::IsItemHovered()) l->AddRectFilled(p, ImVec2(p.x + w, p.y + h), kHover, 6);
    ImU32 c = faded(colour);
    sf_draw(l, symbol, c, ImVec2(p.x + 7 + (size + 4) / 2, p.y + h / 2), size);
    const char* end = ImGui::FindRenderedTextEnd(label);
    l->AddText(ImVec2(p.x + 7 + size + 4 + 4, p.y + (h - ts.y) / 2), c, label, end);
    return clicked;
}

void ui_row(AppState& state, const char* label) {
    ImVec2 p = ImGui::GetCursorScreenPos();
    ImFont* f = state.fonts.body ? state.fonts.body : ImGui::GetFont();
    ImGui::GetWindowDrawList()->AddText(f, 14, ImVec2(p.x, p.y + 7), kText, label);
    ImGui::Dummy(ImVec2(156, 1));
    ImGui::SameLine(0, 0);
}

void ui_note(AppState& state, const char* text) {
    ImVec2 p = ImGui::GetCursorScreenPos();
    ImFont* f = state.fonts.body ? state.fonts.body : ImGui::GetFont();
    ImGui::GetWindowDrawList()->AddText(f, 12, ImVec2(p.x + 156, p.y), kTextMuted, text);
    ImGui::Dummy(ImVec2(1, 16));
}

void ui_section(AppState& state, const char* title) {
    ImGui::Dummy(ImVec2(1, 10));
    std::string caps = title;
    for (char& ch : caps)
        if (ch >= 'a' && ch <= 'z') ch = (char)(ch - 'a' + 'A');
    ImVec2 p = ImGui::GetCursorScreenPos();
    ImFont* f = state.fonts.bold ? state.fonts.bold : ImGui::GetFont();
    ImGui::GetWindowDrawList()->AddText(f, 11, p, kTextMuted, caps.c_str());
    ImGui::Dummy(ImVec2(1, 18));
}

bool ui_segment(const char* id, const char* const* labels, int count, int* index) {
    ImGui::PushID(id);
    ImVec2 p = ImGui::GetCursorScreenPos();
    float total = 6;
    for (int i = 0; i < count; ++i) total += ImGui::CalcTextSize(labels[i]).x + 26;
    ImDrawList* l = ImGui::GetWindowDrawList();
    l->AddRectFilled(p, ImVec2(p.x + total, p.y + 30), IM_COL32(242, 242, 247, 255), 9);
    bool changed = false;
    float x = p.x + 3;
    for (int i = 0; i < count; ++i) {
        ImVec2 ts = ImGui::CalcTextSize(labels[i]);
        float w = ts.x + 26;
        ImGui::SetCursorScreenPos(ImVec2(x, p.y + 3));
        ImGui::PushID(i);
        if (ImGui::InvisibleButton("##seg", ImVec2(w, 24)) && *index != i) {
            *index = i;
            changed = true;
        }
        bool hov = ImGui::IsItemHovered();
        ImGui::PopID();
        bool sel = *index == i;
        if (sel) {
            l->AddRectFilled(ImVec2(x, p.y + 4), ImVec2(x + w, p.y + 27), IM_COL32(0, 0, 0, 14), 7);
            l->AddRectFilled(ImVec2(x, p.y + 3), ImVec2(x + w, p.y + 26), kWhite, 7);
        }
        l->AddText(ImVec2(x + (w - ts.x) / 2, p.y + 3 + (24 - ts.y) / 2),
                   sel || hov ? IM_COL32(29, 29, 31, 255) : IM_COL32(134, 134, 139, 255), labels[i]);
        x += w;
    }
    ImGui::SetCursorScreenPos(p);
    ImGui::Dummy(ImVec2(total, 30));
    ImGui::PopID();
    return changed;
}

void ui_soft_shadow(ImDrawList* list, ImVec2 p0, ImVec2 p1, float rounding, float strength, ImU32 colour) {
    for (int k = 1; k <= 6; ++k) {
        float grow = 1.6f * (7 - k) * strength, down = 1 + 3 * strength;
        float a = 0.05f * strength * k / 6.0f;
        list->AddRectFilled(ImVec2(p0.x - grow, p0.y - grow + down), ImVec2(p1.x + grow, p1.y + grow + down),
                            col_alpha(colour, a), rounding + grow);
    }
}
