// The opened album's header: back button, big cover, title, count and the
// Play pill.
#include <GLFW/glfw3.h>
#include <imgui.h>

#include "app/album_grid.h"
#include "app/app_state.h"
#include "app/cover_cache.h"
#include "app/theme.h"
#include "app/track_start.h"
#include "app/widgets.h"

namespace {

void close_album(AppState& s) {
    s.open_album_key.clear();
    s.open_album_title.clear();
    s.open_album_artist.clear();
    s.open_album_path.clear();
    s.open_album_first = -1;
}

}  // namespace

bool draw_album_header(AppState& s) {
    bool back = sf_button("##back", "chevron.left", "Back to Albums (Esc)", kAccent, 17);
    // Esc while typing (the search field) belongs to the field.
    bool esc = !ImGui::GetIO().WantTextInput && ImGui::IsKeyPressed(GLFW_KEY_ESCAPE, false);
    if (back || esc) {
        close_album(s);
        return false;
    }
    ImGui::SameLine(0, 12);
    ImVec2 p = ImGui::GetCursorScreenPos();
    unsigned tex = album_tex(s.open_album_key, s.open_album_path);
    if (tex) ImGui::Image((ImTextureID)(intptr_t)tex, ImVec2(112, 112));
    else {
        ImGui::GetWindowDrawList()->AddRectFilled(p, ImVec2(p.x + 112, p.y + 112), kHover, 6);
        ImGui::Dummy(ImVec2(112, 112));
    }
    ImGui::SameLine(0, 20);
    ImGui::BeginGroup();
    if (s.fonts.title) ImGui::PushFont(s.fonts.title);
    ImGui::TextUnformatted(s.open_album_title.c_str());
    if (s.fonts.title) ImGui::PopFont();
    int count = 0;
    for (const Track& t : s.library.tracks) count += album_key(t) == s.open_album_key ? 1 : 0;
    std::string line = album_header_line(s.open_album_artist, count);
    ImGui::PushStyleColor(ImGuiCol_Text, kTextMuted);
    ImGui::TextUnformatted(line.c_str());
    ImGui::PopStyleColor();
    ImGui::Dummy(ImVec2(1, 8));
    if (album_play_pill("##albplay")) play_album_track(s, s.open_album_first);
    ImGui::EndGroup();
    return true;
}
