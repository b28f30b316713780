#include "app/media.h"

#include <GLFW/glfw3.h>
#include <imgui.h>

#include <chrono>

#include "app/app_state.h"
#include "app/media_mpris.h"
#include "app/track_start.h"

namespace {
AppState* media_ctx = nullptr;
double media_last[3] = {0.0, 0.0, 0.0};
bool media_seen[3] = {false, false, false};
}  // namespace

void media_toggle(AppState& s) {
    if (s.player.playing) {
        s.player.pause();
    } else if (s.player.loaded()) {
        s.player.play();
    } else {
        int32_t i = s.current >= 0 ? s.current : s.focus;
        if (i < 0) i = 0;
        if (size_t(i) >= s.library.tracks.size()) return;
        track_start(s, i, +1);
    }
    media_remote_publish(s);
}

void media_next(AppState& s) {
    const int32_t n = int32_t(s.library.tracks.size());
    if (n == 0) return;
    int32_t r = queue_step(s, s.current, +1, true);
    if (r >= 0) {
        track_start(s, r, 0);
    } else {
        int32_t i = s.current >= 0 ? s.current + 1 : (s.focus < 0 ? 0 : s.focus);
        if (i >= n) i = 0;
        if (track_start(s, i, +1) < 0) track_start(s, 0, +1);
    }
    media_remote_publish(s);
}

void media_prev(AppState& s) {
    const int32_t n = int32_t(s.library.tracks.size());
    if (n == 0) return;
    int32_t r = queue_step(s, s.current, -1, true);
    if (r >= 0) {
        track_start(s, r, 0);
    } else {
        int32_t i;
        if (s.current < 0) i = s.focus < 0 ? 0 : s.focus;
        else if (s.current > 0) i = s.current - 1;
        else i = n - 1;
        if (i >= n) i = n - 1;
        if (track_start(s, i, -1) < 0) track_start(s, n - 1, -1);
    }
    media_remote_publish(s);
}

void media_apply_at(int command, double now) {
    if (command < 0 || command > 2 || !media_ctx) return;
    if (media_seen[command] && now - media_last[command] < 0.12) return;
    media_seen[command] = true;
    media_last[command] = now;
    if (command == 0) media_prev(*media_ctx);
    else if (command == 1) media_toggle(*media_ctx);
    else media_next(*media_ctx);
}

// A monotonic clock of its own, so the debounce works before (and without)
// a window.
void media_apply(int command) {
    using namespace std::chrono;
    media_apply_at(command, duration<double>(steady_clock::now().time_since_epoch()).count());
}

void handle_space_key(AppState&) {
    const ImGuiIO& io = ImGui::GetIO();
    if (io.WantTextInput || io.KeyCtrl || io.KeyAlt || io.KeySuper) return;
    if (ImGui::IsKeyPressed(GLFW_KEY_SPACE, false)) media_apply(1);
}

void handle_media_keys(AppState&) {
    if (ImGui::IsKeyPressed(GLFW_KEY_F7, false)) media_apply(0);
    if (ImGui::IsKeyPressed(GLFW_KEY_F8, false)) media_apply(1);
    if (ImGui::IsKeyPressed(GLFW_KEY_F9, false)) media_apply(2);
}

void install_media_tap(AppState& s) { media_ctx = &s; }

void install_media_remote(AppState& s) {
    media_ctx = &s;
    mpris_start(s);
    media_remote_publish(s);
}

void media_uninstall() {
    mpris_stop();
    media_ctx = nullptr;
    for (int i = 0; i < 3; ++i) media_seen[i] = false;
}

AppState* media_state() { return media_ctx; }

void media_remote_publish(const AppState& s) { mpris_publish(s); }
