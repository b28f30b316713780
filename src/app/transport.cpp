// The transport bar: now playing on the left, the round buttons in the
// middle and the seek bar with elapsed and total time under them.
#include "app/transport.h"

#include <imgui.h>

#include <string>

#include "app/app_state.h"
#include "app/media.h"
#include "app/theme.h"
#include "app/track_start.h"

namespace {

// Places the cursor at a bar-relative position.
void at(ImVec2 bar, float x, float y) { ImGui::SetCursorScreenPos(ImVec2(bar.x + x, bar.y + y)); }

const Track* current_track(const AppState& s) {
    if (s.current < 0 || (size_t)s.current >= s.library.tracks.size()) return nullptr;
    return &s.library.tracks[(size_t)s.current];
}

}  // namespace

float transport_h(const AppState&) {
    // The I/O editing mode (the only state that makes the bar taller) is not
    // part of this build yet, so the bar keeps its plain height.
    return 96.0f;
}

void draw_transport(AppState& state) {
    float w = ImGui::GetContentRegionAvail().x;
    ImVec2 p = ImGui::GetCursorScreenPos();
    ImGui::GetWindowDrawList()->AddLine(p, ImVec2(p.x + w, p.y), kBorder, 1.0f);
    ImGui::PushStyleColor(ImGuiCol_ChildBg, kTransport);
    ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(20, 8));
    ImGui::BeginChild("Transport", ImVec2(w, transport_h(state)), false,
                      ImGuiWindowFlags_NoScrollbar | ImGuiWindowFlags_NoScrollWithMouse |
                          ImGuiWindowFlags_AlwaysUseWindowPadding);
    draw_now_playing(state, (w - 220) / 2 - 16);
    draw_transport_controls(state, w);
    draw_transport_seek(state, w);
    ImGui::EndChild();
    ImGui::PopStyleVar();
    ImGui::PopStyleColor();
}

void draw_now_playing(AppState& state, float width) {
    if (width < 40) return;
    ImVec2 p = ImGui::GetCursorScreenPos();
    ImDrawList* l = ImGui::GetWindowDrawList();
    l->PushClipRect(p, ImVec2(p.x + width, p.y + 40), true);
    ImFont* small = state.fonts.small ? state.fonts.small : ImGui::GetFont();
    float fs = state.fonts.small ? small->FontSize : ImGui::GetFontSize() * 0.8f;
    const std::string& note = state.player.device_note();
    const Track* t = current_track(state);
    float line2 = p.y + ImGui::GetFontSize() + 4;
    if (!t) {
        l->AddText(p, kTextMuted, "Not Playing");
        const std::string& sub = !state.play_error.empty() ? state.play_error : note;
        if (!sub.empty()) l->AddText(small, fs, ImVec2(p.x, line2), kTextMuted, sub.c_str());
    } else {
        l->AddText(p, kAccent, t->title.c_str());
        std::string sub = t->artist + " \xE2\x80\x94 " + t->album;
        if (!note.empty()) sub += "  \xC2\xB7  " + note;
        l->AddText(small, fs, ImVec2(p.x, line2), kTextMuted, sub.c_str());
    }
    l->PopClipRect();
}

void draw_transport_controls(AppState& state, float w) {
    ImVec2 bar = ImGui::GetWindowPos();
    ImDrawList* l = ImGui::GetWindowDrawList();
    float x0 = (w - 180) / 2;
    if (state.shuffle) l->AddCircleFilled(ImVec2(bar.x + x0 + 12, bar.y + 28), 14, kAccentSoft, 32);
    at(bar, x0, 16);
    if (icon_button("shuf", "shuf", false, 12, state.shuffle ? kAccent : kTextMuted))
        state.shuffle = !state.shuffle;
    at(bar, x0 + 36, 16);
    if (icon_button("prev", "prev", false, 12, kText)) media_prev(state);
    at(bar, x0 + 72, 10);
    if (icon_button("play", state.player.playing ? "pause" : "play", true, 18, kAccent)) media_toggle(state);
    at(bar, x0 + 120, 16);
    if (icon_button("next", "next", false, 12, kText)) media_next(state);
    at(bar, x0 + 156, 16);
    transport_repeat(state, 12);
}

void transport_repeat(AppState& state, float r) {
    ImVec2 p = ImGui::GetCursorScreenPos();
    ImVec2 c(p.x + r, p.y + r);
    ImDrawList* l = ImGui::GetWindowDrawList();
    bool on = state.repeat != 0;
    if (on) l->AddCircleFilled(c, r + 2, kAccentSoft, 32);
    if (icon_button("rept", "rept", false, r, on ? kAccent : kTextMuted))
        state.repeat = transport_repeat_next(state.repeat);
    std::string list = repeat_list_name(state);
    if (ImGui::IsItemHovered()) ImGui::SetTooltip("%s", transport_repeat_tip(state.repeat, list).c_str());
    ImFont* f = ImGui::GetFont();
    if (state.repeat == 2) {
        ImVec2 b(c.x + 0.62f * r, c.y - 0.62f * r);
        l->AddCircleFilled(b, 6, kAccent, 16);
        ImVec2 ts = f->CalcTextSizeA(10, 100, 0, "1");
        l->AddText(f, 10, ImVec2(b.x - ts.x / 2, b.y - ts.y / 2), kWhite, "1");
    }
    if (state.repeat != 0) {
        const char* label = state.repeat == 2 ? "Song" : list.c_str();
        ImVec2 ts = f->CalcTextSizeA(12, 1000, 0, label);
        l->AddText(f, 12, ImVec2(c.x + r + 8, c.y - ts.y / 2), kAccent, label);
    }
}

void draw_transport_seek(AppState& state, float w) {
    ImVec2 bar = ImGui::GetWindowPos();
    bool has = state.player.loaded();
    double p = has ? state.player.position_sec() : 0.0;
    double d = has ? state.player.duration_sec() : 0.0;
    float b = 0.4f * w, x = (w - b) / 2;
    at(bar, x, 46);
    double v = p;
    // Only a loaded song with a length can be moved; the bar still tracks the mouse.
    if (seek_bar("##seek", v, d, b, kSlider, kAccent) && has && d > 0) state.player.seek((float)v);
    ImFont* small = state.fonts.small ? state.fonts.small : ImGui::GetFont();
    float fs = state.fonts.small ? small->FontSize : ImGui::GetFontSize();
    ImDrawList* l = ImGui::GetWindowDrawList();
    std::string el = transport_fmt_time(p), len = transport_fmt_time(d);
    l->AddText(small, fs, ImVec2(bar.x + x - 36, bar.y + 46), kTextMuted, el.c_str());
    l->AddText(small, fs, ImVec2(bar.x + x + b + 8, bar.y + 46), kTextMuted, len.c_str());
}
