// Plain stand-ins for screens whose full versions live in their own feature
// files; each is deleted here when its real one is added.
#include <imgui.h>

#include <string>

#include "app/screens.h"
#include "app/track_start.h"

void draw_sidebar(AppState& state) {
    ImGui::BeginChild("Sidebar", ImVec2(200, 0), false);
    ImGui::InputTextWithHint("##search", "Search", state.search, sizeof state.search);
    if (ImGui::Selectable("Songs", state.view == View::Songs)) state.view = View::Songs;
    ImGui::EndChild();
}

void draw_song_table(AppState& state) {
    ImGui::BeginChild("Content", ImVec2(0, -transport_h(state)), false);
    ImGuiListClipper clip;
    clip.Begin(int(state.library.tracks.size()));
    while (clip.Step()) {
        for (int i = clip.DisplayStart; i < clip.DisplayEnd; ++i) {
            const Track& t = state.library.tracks[size_t(i)];
            std::string label = t.artist + " - " + t.title + "##" + std::to_string(i);
            bool sel = i == state.current || i == state.focus;
            if (ImGui::Selectable(label.c_str(), sel, ImGuiSelectableFlags_AllowDoubleClick)) {
                state.focus = i;
                if (ImGui::IsMouseDoubleClicked(0)) tracklist_play_idx(state, i);
            }
        }
    }
    ImGui::EndChild();
}

void draw_album_grid(AppState& state) { draw_song_table(state); }

void handle_list_keys(AppState&) {}

void handle_select_all(AppState&) {}

