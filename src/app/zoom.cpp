// Zoom input, steps per area, the delayed save and the indicator pill.
#include "app/zoom.h"

#include <GLFW/glfw3.h>
#include <imgui.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/app_state.h"
#include "app/widgets.h"

namespace {

double now() { return ImGui::GetCurrentContext() ? ImGui::GetTime() : 0.0; }

std::string fmt(const char* f, double v) {
    char b[64];
    std::snprintf(b, sizeof b, f, v);
    return b;
}

float scaled(float v, float base, float a, float lo, float hi) {
    return std::clamp(v * std::pow(base, a), lo, hi);
}

}  // namespace

std::string zoom_step_settings(ChordSettings& s, float& lines_acc, int area, bool reset, bool lines,
                               float a) {
    switch (area) {
    case kZoomSongs:
        s.list_zoom = reset ? 1.0f : scaled(s.list_zoom, 1.06f, a, 0.8f, 1.8f);
        return fmt("Songs %.0f%%", s.list_zoom * 100.0);
    case kZoomAlbums:
        s.album_tile = reset ? 132.0f : scaled(s.album_tile, 1.1f, a, 72.0f, 320.0f);
        return fmt("Albums %.0f px", s.album_tile);
    case kZoomChords:
        s.scale = reset ? 1.0f : scaled(s.scale, 1.06f, a, 0.6f, 2.5f);
        return fmt("Chords %.1fx", s.scale);
    default:
        break;
    }
    if (lines) {
        if (reset) {
            s.lyr_ctx = 2;
            lines_acc = 0;
        } else {
            float total = a + lines_acc;
            int whole = (int)std::trunc(total);
            lines_acc = total - whole;
            s.lyr_ctx = std::clamp(s.lyr_ctx + whole, 0, 5);
        }
        char b[64];
        std::snprintf(b, sizeof b, "Lyrics %d line%s each side", s.lyr_ctx, s.lyr_ctx == 1 ? "" : "s");
        return b;
    }
    s.lyr_size = reset ? 28.0f : scaled(s.lyr_size, 1.06f, a, 14.0f, 72.0f);
    return fmt("Lyrics %.0f pt", s.lyr_size);
}

void zoom_settings_ensure(AppState& state) {
    if (state.chord_settings_loaded) return;
    state.chord_settings = chord_settings_load(chord_settings_file());
    state.chord_settings_loaded = true;
}

void zoom_grab_wheel(GLFWwindow* window, ZoomUi& zoom) {
    zoom.wheel = 0;
    bool ctrl = glfwGetKey(window, GLFW_KEY_LEFT_CONTROL) == GLFW_PRESS ||
                glfwGetKey(window, GLFW_KEY_RIGHT_CONTROL) == GLFW_PRESS;
    if (!ctrl || !ImGui::GetCurrentContext()) return;
    ImGuiIO& io = ImGui::GetIO();
    zoom.wheel += io.MouseWheel + io.MouseWheelH;
    io.MouseWheel = 0;
    io.MouseWheelH = 0;
}

void zoom_mark(ZoomUi& zoom, int area, float top) {
    if (!ImGui::IsWindowHovered(ImGuiHoveredFlags_ChildWindows)) return;
    ImVec2 m = ImGui::GetIO().MousePos, c = ImGui::GetCursorScreenPos();
    if (m.x >= c.x && m.y >= top && m.y <= c.y) zoom.area = area;
}

void zoom_step(AppState& state, int area, bool reset, bool lines, float amount) {
    zoom_settings_ensure(state);
    std::string text =
        zoom_step_settings(state.chord_settings, state.zoom.lines_acc, area, reset, lines, amount);
    zoom_changed(state, text);
}

void zoom_changed(AppState& state, const std::string& text) {
    state.zoom_hud_text = text;
    state.zoom_hud_time = now();
    state.settings_save_at = now() + 0.4;
}

void zoom_apply(AppState& state) {
    ImGuiIO& io = ImGui::GetIO();
    int c = 0;
    bool reset = false;
    if (io.KeyCtrl || io.KeySuper) {
        if (ImGui::IsKeyPressed(GLFW_KEY_EQUAL, true) || ImGui::IsKeyPressed(GLFW_KEY_KP_ADD, true)) c = 1;
        else if (ImGui::IsKeyPressed(GLFW_KEY_MINUS, true) || ImGui::IsKeyPressed(GLFW_KEY_KP_SUBTRACT, true))
            c = -1;
        reset = ImGui::IsKeyPressed(GLFW_KEY_0, false) || ImGui::IsKeyPressed(GLFW_KEY_KP_0, false);
    }
    // The wheel only zooms over a marked area; keys fall back to the lyrics.
    float wheel = state.zoom.area != kZoomNone ? state.zoom.wheel : 0.0f;
    int area = state.zoom.area != kZoomNone ? state.zoom.area : kZoomLyrics;
    if (wheel != 0 && io.KeyShift)
        zoom_step(state, area, reset, true, c + wheel);
    else if (wheel != 0 || c != 0 || reset)
        zoom_step(state, area, reset, wheel == 0 && io.KeyAlt, c + wheel);
    state.zoom.area = kZoomNone;
    if (state.settings_save_at > 0 && now() >= state.settings_save_at) {
        zoom_settings_ensure(state);
        chord_settings_save(chord_settings_file(), state.chord_settings);
        state.settings_save_at = 0;
    }
    zoom_hud(state);
}

void zoom_hud(AppState& state) {
    double age = now() - state.zoom_hud_time;
    if (state.zoom_hud_text.empty() || age > 0.9) return;
    float o = std::clamp((float)(0.9 - age) / 0.4f, 0.0f, 1.0f);
    ImDrawList* l = ImGui::GetForegroundDrawList();
    ImVec2 ts = ImGui::CalcTextSize(state.zoom_hud_text.c_str());
    ImVec2 m = ImGui::GetIO().MousePos;
    ImVec2 p0(m.x + 16, m.y - ts.y - 22), p1(p0.x + ts.x + 24, p0.y + ts.y + 12);
    float r = (p1.y - p0.y) / 2;
    ui_soft_shadow(l, p0, p1, r, 0.7f * o);
    l->AddRectFilled(p0, p1, IM_COL32(255, 255, 255, (int)(255 * o)), r);
    l->AddText(ImVec2(p0.x + 12, p0.y + 6), ImGui::GetColorU32(ImVec4(0.1f, 0.1f, 0.12f, o)),
               state.zoom_hud_text.c_str());
}
