// Drawing the album grid: tiles with covers, the play badge and the pill,
// and the cover thumbnails of the song table.
#include "app/album_grid.h"

#include <imgui.h>

#include <algorithm>

#include "app/app_state.h"
#include "app/cover_cache.h"
#include "app/fonts.h"
#include "app/song_table.h"
#include "app/theme.h"
#include "app/track_start.h"
#include "app/transport.h"
#include "app/widgets.h"
#include "app/zoom.h"

namespace {

ImTextureID tex_id(unsigned t) { return (ImTextureID)(intptr_t)t; }

bool tile_playing(const AppState& s, const AlbumTile& tile) {
    if (s.current < 0 || (size_t)s.current >= s.library.tracks.size()) return false;
    return album_key(s.library.tracks[(size_t)s.current]) == tile.key;
}

}  // namespace

void draw_album_grid(AppState& s) {
    if (!s.open_album_key.empty()) {
        draw_tracklist(s);
        return;
    }
    zoom_settings_ensure(s);
    ImVec2 avail = ImGui::GetContentRegionAvail();
    ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(16, 8));
    bool open = ImGui::BeginChild("Albums", ImVec2(avail.x, avail.y - transport_h(s)), false,
                                  ImGuiWindowFlags_AlwaysUseWindowPadding);
    ImGui::PopStyleVar();
    if (open) {
        if (s.fonts.title) ImGui::PushFont(s.fonts.title);
        ImGui::TextUnformatted("Albums");
        if (s.fonts.title) ImGui::PopFont();
        ImGui::Spacing();
        const std::vector<AlbumTile>& tiles = album_tiles(s);
        float size = s.chord_settings.album_tile;
        int cols = album_grid_columns(ImGui::GetContentRegionAvail().x, size);
        // Whole rows of tiles are clipped, so only the rows on screen load covers.
        float row_h = size + 2 * ImGui::GetTextLineHeightWithSpacing() + 18;
        int rows = ((int)tiles.size() + cols - 1) / cols;
        ImGuiListClipper clip;
        clip.Begin(rows, row_h);
        while (clip.Step())
            for (int r = clip.DisplayStart; r < clip.DisplayEnd; ++r) {
                float y0 = ImGui::GetCursorPosY();
                for (int c = 0; c < cols && r * cols + c < (int)tiles.size(); ++c) {
                    if (c) ImGui::SameLine(0, 18);
                    draw_album_tile(s, tiles[(size_t)(r * cols + c)], size);
                }
                ImGui::SetCursorPosY(y0 + row_h);
            }
    }
    ImGui::EndChild();
}

void draw_album_tile(AppState& s, const AlbumTile& tile, float size) {
    ImGui::PushID(tile.first);
    ImGui::BeginGroup();
    ImVec2 p = ImGui::GetCursorScreenPos();
    ImDrawList* l = ImGui::GetWindowDrawList();
    unsigned tex = album_tex(tile.key, tile.path);
    if (tex) ImGui::Image(tex_id(tex), ImVec2(size, size));
    else {
        l->AddRectFilled(p, ImVec2(p.x + size, p.y + size), kHover);
        ImGui::Dummy(ImVec2(size, size));
    }
    bool cover_hov = ImGui::IsItemHovered();
    bool playing = tile_playing(s, tile);
    bool on_badge = tile_play_badge(l, cover_hov, p, size);
    if (playing) l->AddRect(p, ImVec2(p.x + size, p.y + size), kAccent, 4, 0, 2.5f);
    ImFont* f = ImGui::GetFont();
    float fs = ImGui::GetFontSize();
    std::string title = fit_text(f, fs, tile.title, size), artist = fit_text(f, fs, tile.artist, size);
    ImGui::PushStyleColor(ImGuiCol_Text, playing ? kAccent : kText);
    ImGui::TextUnformatted(title.c_str());
    ImGui::PopStyleColor();
    ImGui::PushStyleColor(ImGuiCol_Text, kTextMuted);
    ImGui::TextUnformatted(artist.c_str());
    ImGui::PopStyleColor();
    ImGui::EndGroup();
    if (ImGui::IsItemHovered()) ImGui::SetMouseCursor(ImGuiMouseCursor_Hand);
    if (ImGui::IsItemClicked(ImGuiMouseButton_Left)) {
        if (on_badge) play_album_track(s, tile.first);
        else {
            s.open_album_key = tile.key;
            s.open_album_title = tile.title;
            s.open_album_artist = tile.artist;
            s.open_album_path = tile.path;
            s.open_album_first = tile.first;
        }
    }
    ImGui::PopID();
}

bool tile_play_badge(ImDrawList* l, bool hovered, ImVec2 p, float size) {
    if (!hovered) return false;
    float r = std::clamp(size * 0.13f, 12.0f, 22.0f);
    ImVec2 c(p.x + 10 + r, p.y + size - 10 - r);
    ImVec2 m = ImGui::GetIO().MousePos;
    float dx = m.x - c.x, dy = m.y - c.y;
    bool over = dx * dx + dy * dy <= r * r * 1.4f;
    if (over) r *= 1.12f;
    ui_soft_shadow(l, ImVec2(c.x - r, c.y - r), ImVec2(c.x + r, c.y + r), r, 0.8f);
    l->AddCircleFilled(c, r, IM_COL32(255, 255, 255, 242), 32);
    draw_transport_glyph(l, "play", kAccent, c, r);
    return over;
}

bool album_play_pill(const char* id) {
    ImVec2 p = ImGui::GetCursorScreenPos();
    bool clicked = ImGui::InvisibleButton(id, ImVec2(96, 32));
    float b = ImGui::IsItemActive() ? 0.82f : ImGui::IsItemHovered() ? 0.9f : 1.0f;
    if (ImGui::IsItemHovered()) ImGui::SetMouseCursor(ImGuiMouseCursor_Hand);
    ImDrawList* l = ImGui::GetWindowDrawList();
    l->AddRectFilled(p, ImVec2(p.x + 96, p.y + 32),
                     ImGui::GetColorU32(ImVec4(kAccentF.x * b, kAccentF.y * b, kAccentF.z * b, 1)), 16);
    draw_transport_glyph(l, "play", kWhite, ImVec2(p.x + 28, p.y + 16), 14);
    ImVec2 ts = ImGui::CalcTextSize("Play");
    l->AddText(ImVec2(p.x + 40, p.y + (32 - ts.y) / 2), kWhite, "Play");
    return clicked;
}

void draw_row_thumb(const Track& t, float size) {
    ImVec2 p = ImGui::GetCursorScreenPos();
    ImVec2 q(p.x + size, p.y + size);
    ImDrawList* l = ImGui::GetWindowDrawList();
    unsigned tex = album_tex(album_key(t), t.path);
    if (tex) l->AddImageRounded(tex_id(tex), p, q, ImVec2(0, 0), ImVec2(1, 1), IM_COL32_WHITE, 4);
    else l->AddRectFilled(p, q, kHover, 4);
    l->AddRect(p, q, IM_COL32(0, 0, 0, 28), 4, 0, 1.0f);
    ImGui::Dummy(ImVec2(size, size));
}
