// Row selection with the mouse and the keyboard. The selection holds paths,
// so it survives re-sorting; `focus` is the keyboard cursor and the anchor
// of Shift-click.
#include <GLFW/glfw3.h>
#include <imgui.h>

#include <algorithm>

#include "app/app_state.h"
#include "app/song_table.h"
#include "app/track_start.h"

namespace {

bool valid(const AppState& s, int32_t i) { return i >= 0 && (size_t)i < s.library.tracks.size(); }

const std::string& path_of(const AppState& s, int32_t i) { return s.library.tracks[(size_t)i].path; }

std::string query_of(const AppState& s) { return lower_ascii(s.search); }

}  // namespace

bool track_row_selected(const AppState& s, int32_t i) {
    if (!valid(s, i)) return false;
    return i == s.current || i == s.focus || s.selection.count(path_of(s, i)) != 0;
}

int32_t list_step_visible(const AppState& s, int32_t from, int32_t step) {
    int32_t n = (int32_t)s.library.tracks.size();
    int32_t start = from < 0 && step < 0 ? n : from;
    std::string q = query_of(s);
    for (int32_t i = start + step; i >= 0 && i < n; i += step)
        if (track_row_visible(s, s.library.tracks[(size_t)i], q)) return i;
    return start;
}

void list_click_select_mods(AppState& s, int32_t i, bool shift, bool cmd) {
    if (!valid(s, i)) return;
    if (shift && valid(s, s.focus)) {
        s.selection.clear();
        s.selection.insert(path_of(s, s.focus));
        int32_t step = i >= s.focus ? 1 : -1;
        for (int32_t j = s.focus; j != i;) {
            int32_t nj = list_step_visible(s, j, step);
            if (nj == j || (step > 0 ? nj > i : nj < i)) break;
            j = nj;
            s.selection.insert(path_of(s, j));
        }
        s.selection.insert(path_of(s, i));
        return;
    }
    if (cmd) {
        if (s.selection.empty() && valid(s, s.focus)) s.selection.insert(path_of(s, s.focus));
        const std::string& p = path_of(s, i);
        if (!s.selection.erase(p)) s.selection.insert(p);
        s.focus = i;
        return;
    }
    s.selection.clear();
    s.focus = i;
}

void list_click_select(AppState& s, int32_t i) {
    const ImGuiIO& io = ImGui::GetIO();
    list_click_select_mods(s, i, io.KeyShift, io.KeyCtrl || io.KeySuper);
}

std::vector<std::string> list_selection_paths(const AppState& s, int32_t i) {
    if (i < 0) i = s.focus;
    if (!valid(s, i)) return {};
    if (!s.selection.count(path_of(s, i))) return {path_of(s, i)};
    std::vector<std::string> out;
    for (const Track& t : s.library.tracks)
        if (s.selection.count(t.path)) out.push_back(t.path);
    return out;
}

bool list_keys_view(const AppState& s) {
    return s.view == View::Recent || s.view == View::Songs || s.view == View::Artists ||
           s.view == View::Playlist;
}

void list_select_all(AppState& s) {
    std::vector<int32_t> rows = tracklist_rows(s, query_of(s));
    s.selection.clear();
    for (int32_t i : rows) s.selection.insert(path_of(s, i));
    if (!rows.empty()) s.focus = rows.front();
}

void handle_list_keys(AppState& s) {
    const ImGuiIO& io = ImGui::GetIO();
    if (io.WantTextInput || io.KeyCtrl || io.KeyAlt || io.KeySuper) return;
    float len = s.player.loaded() ? s.player.duration_sec() : 0.0f;
    if (len > 0) {
        float d = io.KeyShift ? 15.0f : 5.0f;
        int dir = ImGui::IsKeyPressed(GLFW_KEY_RIGHT, true) ? 1 : ImGui::IsKeyPressed(GLFW_KEY_LEFT, true) ? -1 : 0;
        if (dir) s.player.seek(std::clamp(s.player.position_sec() + dir * d, 0.0f, std::max(0.0f, len - 0.5f)));
    }
    if (!list_keys_view(s)) return;
    int step = ImGui::IsKeyPressed(GLFW_KEY_DOWN, true) ? 1 : ImGui::IsKeyPressed(GLFW_KEY_UP, true) ? -1 : 0;
    if (step) {
        int32_t next = list_step_visible(s, s.focus, step);
        if (valid(s, next)) s.focus = next;  // nothing visible: keep the focus
        s.selection.clear();
        s.scroll_to_focus = true;
    }
    if ((ImGui::IsKeyPressed(GLFW_KEY_ENTER, false) || ImGui::IsKeyPressed(GLFW_KEY_KP_ENTER, false)) &&
        s.focus >= 0)
        tracklist_play_idx(s, s.focus);
}

void handle_select_all(AppState& s) {
    const ImGuiIO& io = ImGui::GetIO();
    if (!(io.KeyCtrl || io.KeySuper) || io.WantTextInput || !list_keys_view(s)) return;
    if (ImGui::IsKeyPressed(GLFW_KEY_A, false)) list_select_all(s);
}
