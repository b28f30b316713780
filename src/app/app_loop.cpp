// Index: test hooks; waiting when idle; the frame; the interface pass; the
// end-of-song advance.
#include "app/app_loop.h"

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>
#include <backends/imgui_impl_glfw.h>
#include <backends/imgui_impl_opengl3.h>
#include <imgui.h>

#include <cstdlib>
#include <string>

#include "app/app_state.h"
#include "app/app_trace.h"
#include "app/app_window.h"
#include "app/media.h"
#include "app/media_mpris.h"
#include "app/screens.h"
#include "app/startup_durations.h"
#include "app/track_start.h"

namespace {

// Test hooks: LUMORA_QUIT_AFTER_FRAMES=N closes the window after N frames
// (a normal close: the catalog is saved); LUMORA_SCREENSHOT=PATH writes that
// last frame as a PNG.
struct LoopHooks {
    long quit_after = 0;  // 0 = never
    std::string screenshot;
};

LoopHooks loop_hooks_from_env() {
    LoopHooks h;
    if (const char* n = std::getenv("LUMORA_QUIT_AFTER_FRAMES")) h.quit_after = std::atol(n);
    if (h.quit_after < 0) h.quit_after = 0;
    if (const char* p = std::getenv("LUMORA_SCREENSHOT")) h.screenshot = p;
    if (h.quit_after == 0 && !h.screenshot.empty()) h.quit_after = 1;
    return h;
}

constexpr double kFrameSec = 1.0 / 60.0;
constexpr double kIdleWaitSec = 0.5;
constexpr int kQuietRedraw = 10;  // idle timeouts between safety redraws

struct LoopPace {
    double last_frame = 0.0;
    int quiet = 0;  // idle timeouts in a row without drawing
};

// Something on screen moves: the song plays (position, views following it;
// not while it is still being decoded, so the decode gets the processor),
// the user just did something (hover and press states settle over a few
// frames), or the zoom indicator is fading.
bool app_animating(const AppState& s, double now) {
    return (s.player.playing && s.player.ready()) || now - app_last_input_time() < 1.0 || now - s.zoom_hud_time < 2.0;
}

// Polls while something moves (at most one frame per display refresh even if
// the swap is not paced); otherwise sleeps until input, a wake from a worker
// or the D-Bus service, or the idle timeout, so a paused player costs next to
// nothing. Under the frame-count test hook frames never wait, so a count
// means the same time on every run. Returns whether the frame must be drawn:
// a timeout with nothing new still runs the ticks but keeps the picture
// (redrawn every few seconds all the same, in case a tick changed it).
bool app_loop_wait(const AppState& s, LoopPace& pace, bool hooked) {
    double now = glfwGetTime();
    if (hooked || app_animating(s, now)) {
        double left = pace.last_frame + kFrameSec - now;
        if (left > 0.001) glfwWaitEventsTimeout(left);
        else glfwPollEvents();
        pace.last_frame = glfwGetTime();
        pace.quiet = 0;
        return true;
    }
    const double input = app_last_input_time();
    const unsigned long wakes = app_wake_count();
    glfwWaitEventsTimeout(kIdleWaitSec);
    pace.last_frame = glfwGetTime();
    bool woken = app_last_input_time() != input || app_wake_count() != wakes;
    if (woken || ++pace.quiet >= kQuietRedraw) {
        pace.quiet = 0;
        return true;
    }
    return false;
}

// Content screens whose panels are not part of this build.
void draw_missing_panel(AppState& state) {
    ImGui::BeginChild("Content", ImVec2(0, -transport_h(state)), false);
    ImGui::TextDisabled("Nothing to show here yet.");
    ImGui::EndChild();
}

}  // namespace

int app_main_loop(GLFWwindow* window, AppState& state) {
    LoopHooks hooks = loop_hooks_from_env();
    long frames = 0;
    LoopPace pace;
    while (!glfwWindowShouldClose(window)) {
        const bool draw = app_loop_wait(state, pace, hooks.quit_after > 0);
        const double work_start = glfwGetTime();
        const double cpu_start = app_trace_thread_cpu();
        mpris_pump();
        if (mpris_take_quit()) glfwSetWindowShouldClose(window, GLFW_TRUE);
        durations_apply(state);
        ImGui_ImplOpenGL3_NewFrame();
        ImGui_ImplGlfw_NewFrame();
        zoom_grab_wheel(window, state.zoom);
        ImGui::NewFrame();
        app_loop_ui(state);
        bool last = hooks.quit_after > 0 && ++frames >= hooks.quit_after;
        if (draw) app_loop_present(window, last ? hooks.screenshot : std::string());
        else ImGui::EndFrame();
        app_loop_advance(state);
        app_trace_frame(glfwGetTime() - work_start, app_trace_thread_cpu() - cpu_start);
        if (last) glfwSetWindowShouldClose(window, GLFW_TRUE);
    }
    app_trace_report();
    return 0;
}

void app_loop_ui(AppState& state) {
    const ImGuiViewport* vp = ImGui::GetMainViewport();
    ImGui::SetNextWindowPos(vp->Pos);
    ImGui::SetNextWindowSize(vp->Size);
    ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(0, 0));
    ImGui::PushStyleVar(ImGuiStyleVar_WindowBorderSize, 0.0f);
    ImGuiWindowFlags flags = ImGuiWindowFlags_NoTitleBar | ImGuiWindowFlags_NoResize |
                             ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoScrollbar |
                             ImGuiWindowFlags_NoScrollWithMouse |
                             ImGuiWindowFlags_NoBringToFrontOnFocus;
    ImGui::Begin("##Main", nullptr, flags);
    draw_sidebar(state);
    ImGui::SameLine(0, 0);
    ImVec2 p = ImGui::GetCursorScreenPos();
    ImGui::GetWindowDrawList()->AddLine(p, ImVec2(p.x, p.y + vp->Size.y), kBorder, 1.0f);
    ImGui::SameLine(0, 1);
    // Keyboard handlers, in their fixed order.
    handle_media_keys(state);
    handle_space_key(state);
    handle_list_keys(state);
    handle_select_all(state);
    draw_app_content(state);
    ImGui::End();
    ImGui::PopStyleVar(2);
}

void draw_app_content(AppState& state) {
    ImGui::BeginGroup();
    ImVec2 top = ImGui::GetCursorScreenPos();
    int area = 1;
    switch (state.view) {
    case View::Albums:
        draw_album_grid(state);
        area = state.open_album_key.empty() ? 2 : 1;
        break;
    case View::Device:
    case View::Download:
    case View::Trash:
        draw_missing_panel(state);
        area = 0;
        break;
    default:
        draw_song_table(state);
        break;
    }
    ImVec2 bottom = ImGui::GetItemRectMax();
    if (area != 0 && ImGui::IsMouseHoveringRect(top, bottom, false)) state.zoom.area = area;
    draw_transport(state);
    ImGui::EndGroup();
    zoom_apply(state);
}

int app_next_index(const AppState& s, int queued, unsigned random) {
    const int n = int(s.library.tracks.size());
    if (s.repeat == 2) return s.current;
    if (queued >= 0) return queued;
    if (queued == -2) return -1;
    if (s.shuffle && n > 1) return int((unsigned(s.current) + 1u + random % unsigned(n - 1)) % unsigned(n));
    int next = s.current + 1;
    if (next >= n) next = s.repeat == 1 ? 0 : -1;
    return next;
}

void app_loop_advance(AppState& s) {
    const bool in_range = s.current >= 0 && size_t(s.current) < s.library.tracks.size();
    // A file that probed well but failed to decode: report it and stop, rather
    // than count a play or retry it forever under repeat-one.
    if (in_range && s.player.decode_failed()) {
        s.play_error = "Can't play \"" + s.library.tracks[size_t(s.current)].title +
                       "\": format not supported";
        s.player.stop();
        s.current = -1;
        media_remote_publish(s);
        return;
    }
    if (!in_range || !s.player.finished()) return;
    s.library.tracks[size_t(s.current)].plays += 1;
    int queued = queue_step(s, s.current, s.shuffle ? 0 : 1, s.repeat == 1);
    int next = app_next_index(s, queued, queue_random());
    if (next >= 0 && size_t(next) < s.library.tracks.size()) {
        track_start(s, next, s.repeat == 2 ? 0 : +1);
    } else {
        s.player.stop();
        s.current = -1;
    }
    media_remote_publish(s);
}
