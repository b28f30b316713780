// The sidebar and its navigation rows.
#include "app/sidebar.h"

#include <imgui.h>

#include <string>

#include "app/app_state.h"
#include "app/glyphs.h"
#include "app/song_table.h"
#include "app/theme.h"
#include "app/widgets.h"

namespace {

void section_title(AppState& s, const char* title) {
    if (s.fonts.small) ImGui::PushFont(s.fonts.small);
    ImGui::Indent(10);
    ImGui::PushStyleColor(ImGuiCol_Text, kTextMuted);
    ImGui::TextUnformatted(title);
    ImGui::PopStyleColor();
    ImGui::Unindent(10);
    if (s.fonts.small) ImGui::PopFont();
    ImGui::Spacing();
}

// Small muted label button, indented 8 pixels.
bool small_action(AppState& s, const char* symbol, const char* label) {
    if (s.fonts.small) ImGui::PushFont(s.fonts.small);
    ImGui::Indent(8);
    bool clicked = sf_label_button(symbol, label, kTextMuted, 11);
    ImGui::Unindent(8);
    if (s.fonts.small) ImGui::PopFont();
    return clicked;
}

void show_playlist(AppState& s, int32_t index) {
    s.view = View::Playlist;
    s.playlist_sel = index;
}

}  // namespace

void draw_sidebar(AppState& s) {
    ImGui::PushStyleColor(ImGuiCol_ChildBg, kSidebarBg);
    ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(8, 16));
    ImGui::PushStyleVar(ImGuiStyleVar_ItemSpacing, ImVec2(0, 2));
    if (ImGui::BeginChild("Sidebar", ImVec2(200, 0), false, ImGuiWindowFlags_AlwaysUseWindowPadding)) {
        draw_sidebar_search(s);
        draw_sidebar_library(s);
        section_title(s, "Playlists");
        draw_playlist_sidebar(s);
        ImGui::Spacing();
        ImGui::Spacing();
        section_title(s, "Spotify");
        if (nav_row("Download", s.view == View::Download, kAccent, "arrow.down.circle", 0)) {
            s.view = View::Download;
        }
    }
    ImGui::EndChild();
    ImGui::PopStyleVar(2);
    ImGui::PopStyleColor();
}

void draw_sidebar_search(AppState& s) {
    ImGui::PushStyleVar(ImGuiStyleVar_FrameRounding, 8);
    ImGui::PushStyleColor(ImGuiCol_FrameBg, kWhite);
    ImGui::SetNextItemWidth(-1);
    ImGui::InputTextWithHint("##search", "Search", s.search, sizeof s.search);
    ImGui::PopStyleColor();
    ImGui::PopStyleVar();
    ImGui::Spacing();
    ImGui::Spacing();
}

void draw_sidebar_library(AppState& s) {
    section_title(s, "Library");
    draw_library_nav(s);
    ImGui::Spacing();
    // Rescan takes in what is new under the scan root; the table re-sorts.
    if (small_action(s, "arrow.clockwise", "Rescan") && !s.library.scan_root.empty()) {
        s.library.add_path(s.library.scan_root);
        s.table_dirty = true;
    }
    ImGui::Spacing();
    ImGui::Spacing();
}

void sidebar_show_view(AppState& s, int32_t view) {
    s.view = (View)view;
    s.playlist_sel = -1;
    s.open_album_key.clear();
    s.open_album_title.clear();
    s.open_album_artist.clear();
    s.open_album_path.clear();
    s.open_album_first = -1;
    switch (s.view) {
    case View::Recent: library_sort_keep(s, &Library::sort_by_recent); break;
    case View::Artists: library_sort_keep(s, &Library::sort_by_artist); break;
    case View::Albums: library_sort_keep(s, &Library::sort_by_album); break;
    case View::Songs: library_sort_keep(s, &Library::sort_natural); break;
    default: break;
    }
}

void draw_library_nav(AppState& s) {
    struct Row {
        const char* label;
        const char* icon;
        View view;
    };
    static const Row rows[] = {{"Recently Added", "clock", View::Recent},
                               {"Artists", "music.mic", View::Artists},
                               {"Albums", "square.stack", View::Albums},
                               {"Songs", "music.note", View::Songs},
                               {"Trash", "trash", View::Trash}};
    for (const Row& r : rows)
        if (nav_row(r.label, s.view == r.view, kAccent, r.icon, 0)) sidebar_show_view(s, (int32_t)r.view);
}

void sidebar_new_playlist(AppState& s) {
    Playlist p;
    p.name = "Playlist " + std::to_string(s.library.playlists.size() + 1);
    s.library.playlists.push_back(p);
    show_playlist(s, (int32_t)s.library.playlists.size() - 1);
}

void draw_playlist_sidebar(AppState& s) {
    if (nav_row("All Playlists", s.view == View::Playlist && s.playlist_sel == -1, kAccent, "music.note.list", 0))
        show_playlist(s, -1);
    for (size_t i = 0; i < s.library.playlists.size(); ++i) {
        const Playlist& p = s.library.playlists[i];
        ImGui::PushID((int)i);
        bool sel = s.view == View::Playlist && s.playlist_sel == (int32_t)i;
        if (nav_row(p.name.c_str(), sel, kAccent, "music.note.list", (int)p.paths.size()))
            show_playlist(s, (int32_t)i);
        ImGui::PopID();
    }
    if (small_action(s, "plus", "New Playlist")) sidebar_new_playlist(s);
}

bool nav_row(const char* label, bool selected, ImU32 colour, const char* icon, int count) {
    ImGui::PushID(label);
    ImVec2 p = ImGui::GetCursorScreenPos();
    float w = ImGui::GetContentRegionAvail().x, h = ImGui::GetTextLineHeight() + 8;
    bool clicked = ImGui::InvisibleButton("##nav", ImVec2(std::max(1.0f, w), h));
    bool hov = ImGui::IsItemHovered();
    ImGui::PopID();
    ImDrawList* l = ImGui::GetWindowDrawList();
    if (selected) l->AddRectFilled(p, ImVec2(p.x + w, p.y + h), kAccentSoft, 6);
    else if (hov) l->AddRectFilled(p, ImVec2(p.x + w, p.y + h), kHover, 6);
    bool drew = icon && sf_draw(l, icon, selected ? colour : kAccent, ImVec2(p.x + 20, p.y + h / 2), 13);
    l->AddText(ImVec2(p.x + (drew ? 36 : 10), p.y + 4), selected ? colour : kText, label);
    if (count > 0) {
        std::string n = std::to_string(count);
        float tw = ImGui::CalcTextSize(n.c_str()).x;
        l->AddText(ImVec2(p.x + w - 10 - tw, p.y + 4), kTextMuted, n.c_str());
    }
    return clicked;
}
