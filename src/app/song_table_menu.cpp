// The row's right-click menu and the playlist edits it makes. Playlists
// reach the catalog file with its next save.
#include <imgui.h>

#include <string>

#include "app/app_state.h"
#include "app/song_table.h"
#include "core/history.h"
#include "core/points.h"

int playlist_add_paths(AppState& s, int32_t pl, const std::vector<std::string>& paths) {
    if (pl < 0 || (size_t)pl >= s.library.playlists.size()) return 0;
    int n = 0;
    for (const std::string& p : paths) n += s.library.playlists[(size_t)pl].add_track(p) ? 1 : 0;
    return n;
}

int32_t playlist_new_with(AppState& s, const std::vector<std::string>& paths) {
    Playlist p;
    p.name = "Playlist " + std::to_string(s.library.playlists.size() + 1);
    s.library.playlists.push_back(p);
    int32_t idx = (int32_t)s.library.playlists.size() - 1;
    playlist_add_paths(s, idx, paths);
    return idx;
}

std::string list_clear_io(const std::vector<std::string>& paths) {
    std::string file = io_store_file();
    IoStore store = io_store_load(file);
    // Whatever was there before becomes an undo step of its own first.
    hist_checkpoint();
    for (const std::string& p : paths) io_clear_song_points(store, file, p);
    std::string label = "Clear I/O (" + std::to_string(paths.size()) + (paths.size() == 1 ? " song)" : " songs)");
    hist_commit(label);
    return label;
}

void draw_track_ctx(AppState& s, int32_t i, const Track&) {
    std::string id = "##ctx" + std::to_string(i);
    if (!ImGui::BeginPopupContextItem(id.c_str())) return;
    std::vector<std::string> items = list_selection_paths(s, i);
    if (ImGui::BeginMenu("Add to Playlist")) {
        for (size_t k = 0; k < s.library.playlists.size(); ++k) {
            ImGui::PushID((int)k);
            if (ImGui::MenuItem(s.library.playlists[k].name.c_str())) playlist_add_paths(s, (int32_t)k, items);
            ImGui::PopID();
        }
        ImGui::Separator();
        if (ImGui::MenuItem("New Playlist...")) playlist_new_with(s, items);
        ImGui::EndMenu();
    }
    std::string suffix = items.size() >= 2 ? " (" + std::to_string(items.size()) + " songs)" : "";
    ImGui::Separator();
    if (ImGui::MenuItem(("Clear I/O" + suffix).c_str())) list_clear_io(items);
    ImGui::EndPopup();
}
