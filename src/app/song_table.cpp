// Drawing the song table: header, columns, sort, and the rows, clipped so
// only the rows on screen are built each frame.
#include <imgui.h>

#include <algorithm>

#include "app/album_grid.h"
#include "app/app_state.h"
#include "app/song_table.h"
#include "app/theme.h"
#include "app/track_start.h"
#include "app/transport.h"
#include "app/view_pref.h"
#include "app/zoom.h"

namespace {

const char* const kColumns[7] = {"Title", "Artist", "Album", "Time", "Genre", "\xE2\x99\xA5", "Plays"};
const float kWeights[7] = {3, 2, 2, 0.8f, 1.2f, 0.4f, 0.6f};

bool album_open(const AppState& s) { return s.view == View::Albums && !s.open_album_key.empty(); }

// Text in the current cell, vertically centred on a row of height h.
void cell_text(const std::string& text, float h, ImU32 col) {
    float y = ImGui::GetCursorPosY() + (h - ImGui::GetTextLineHeight()) / 2;
    ImGui::SetCursorPosY(y);
    ImGui::PushStyleColor(ImGuiCol_Text, col);
    ImGui::TextUnformatted(text.c_str(), text.c_str() + text.size());
    ImGui::PopStyleColor();
}

}  // namespace

void draw_song_table(AppState& state) { draw_tracklist(state); }

void draw_tracklist(AppState& s) {
    zoom_settings_ensure(s);
    ImVec2 avail = ImGui::GetContentRegionAvail();
    ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(16, 8));
    bool open = ImGui::BeginChild("Content", ImVec2(avail.x, avail.y - transport_h(s)), false,
                                  ImGuiWindowFlags_AlwaysUseWindowPadding | ImGuiWindowFlags_NoScrollbar);
    ImGui::PopStyleVar();
    if (open) {
        bool was_album = album_open(s);
        tracklist_header(s);
        // Closing the album from its header shows the grid from the next frame.
        if (!(was_album && !album_open(s))) {
            ImGui::Spacing();
            ImGui::SetWindowFontScale(s.chord_settings.list_zoom);
            const ImGuiTableFlags flags = ImGuiTableFlags_Resizable | ImGuiTableFlags_Reorderable |
                                          ImGuiTableFlags_Sortable | ImGuiTableFlags_NoSavedSettings |
                                          ImGuiTableFlags_RowBg | ImGuiTableFlags_SizingStretchProp |
                                          ImGuiTableFlags_PadOuterX | ImGuiTableFlags_ScrollY;
            if (ImGui::BeginTable("Songs", 7, flags)) {
                setup_tracklist_columns(s);
                ImGui::TableSetupScrollFreeze(0, 1);
                ImGui::TableHeadersRow();
                apply_table_sort(s);
                draw_tracklist_rows(s, lower_ascii(s.search));
                ImGui::EndTable();
            }
            ImGui::SetWindowFontScale(1.0f);
        }
    }
    ImGui::EndChild();
}

void tracklist_header(AppState& s) {
    if (album_open(s)) {
        draw_album_header(s);
        return;
    }
    if (s.fonts.title) ImGui::PushFont(s.fonts.title);
    ImGui::TextUnformatted(tracklist_title(s.view).c_str());
    if (s.fonts.title) ImGui::PopFont();
}

void setup_tracklist_columns(AppState& s) {
    if (!s.sort_pref.loaded) s.sort_pref = sort_pref_load();
    for (int c = 0; c < 7; ++c) {
        ImGuiTableColumnFlags f = ImGuiTableColumnFlags_WidthStretch;
        if (s.sort_pref.column == kColumns[c]) {
            f |= ImGuiTableColumnFlags_DefaultSort;
            if (!s.sort_pref.ascending) f |= ImGuiTableColumnFlags_PreferSortDescending;
        }
        ImGui::TableSetupColumn(kColumns[c], f, kWeights[c]);
    }
}

void apply_table_sort(AppState& s) {
    ImGuiTableSortSpecs* specs = ImGui::TableGetSortSpecs();
    if (!specs || specs->SpecsCount < 1 || !(specs->SpecsDirty || s.table_dirty)) return;
    s.table_dirty = false;
    const ImGuiTableColumnSortSpecs& first = specs->Specs[0];
    std::string column = ImGui::TableGetColumnName(first.ColumnIndex);
    bool asc = first.SortDirection != ImGuiSortDirection_Descending;
    table_sort_tracks(s.library.tracks, column, asc, s.current, s.focus);
    specs->SpecsDirty = false;
    if (column != s.sort_pref.column || asc != s.sort_pref.ascending) {
        s.sort_pref.column = column;
        s.sort_pref.ascending = asc;
        s.sort_pref.loaded = true;
        sort_pref_save(s.sort_pref);
    }
}

void draw_tracklist_rows(AppState& s, const std::string& query) {
    s.table_rows = tracklist_rows(s, query);
    ImGuiListClipper clip;
    clip.Begin((int)s.table_rows.size());
    if (s.scroll_to_focus) {
        auto it = std::find(s.table_rows.begin(), s.table_rows.end(), s.focus);
        if (it == s.table_rows.end()) s.scroll_to_focus = false;  // focus not shown: nothing to reach
        else clip.ForceDisplayRangeByIndices((int)(it - s.table_rows.begin()), (int)(it - s.table_rows.begin()) + 1);
    }
    while (clip.Step())
        for (int k = clip.DisplayStart; k < clip.DisplayEnd; ++k) {
            int32_t i = s.table_rows[(size_t)k];
            if ((size_t)i < s.library.tracks.size()) draw_tracklist_row(s, i, s.library.tracks[(size_t)i]);
        }
}

void draw_tracklist_row(AppState& s, int32_t i, const Track& t) {
    float h = 28.0f * s.chord_settings.list_zoom;
    ImGui::TableNextRow(ImGuiTableRowFlags_None, h + 6);
    bool playing = i == s.current;
    if (playing) ImGui::TableSetBgColor(ImGuiTableBgTarget_RowBg1, kAccentSoft);
    ImGui::TableSetColumnIndex(0);
    ImGui::PushID(i);
    ImVec2 start = ImGui::GetCursorScreenPos();
    if (ImGui::Selectable("##sel", track_row_selected(s, i),
                          ImGuiSelectableFlags_SpanAllColumns | ImGuiSelectableFlags_AllowItemOverlap,
                          ImVec2(0, h)))
        list_click_select(s, i);
    if (s.scroll_to_focus && i == s.focus) {
        ImGui::SetScrollHereY(0.5f);
        s.scroll_to_focus = false;
    }
    bool start_it = ImGui::IsItemHovered() && ImGui::IsMouseDoubleClicked(ImGuiMouseButton_Left);
    draw_track_ctx(s, i, t);
    ImGui::SetCursorScreenPos(start);
    draw_row_thumb(t, h);
    ImGui::SameLine(0, 8);
    ImU32 col = playing ? kAccent : kText;
    cell_text(t.title, h, col);
    ImGui::TableSetColumnIndex(1);
    cell_text(t.artist, h, col);
    ImGui::TableSetColumnIndex(2);
    cell_text(t.album, h, col);
    ImGui::TableSetColumnIndex(3);
    cell_text(tracklist_fmt_sec(t.duration), h, col);
    ImGui::TableSetColumnIndex(4);
    cell_text(t.genre, h, col);
    ImGui::TableSetColumnIndex(5);
    cell_text(t.fav ? "\xE2\x99\xA5" : "", h, col);
    ImGui::TableSetColumnIndex(6);
    cell_text(std::to_string(t.plays), h, col);
    ImGui::PopID();
    // Started last: starting a song may change what the row reference shows.
    if (start_it) tracklist_play_idx(s, i);
}
