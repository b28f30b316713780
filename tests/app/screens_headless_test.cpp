// The screens drawn and clicked through ImGui without a window.
#include <gtest/gtest.h>

#include "app/album_grid.h"
#include "app/app_state.h"
#include "app/sidebar.h"
#include "app/song_table.h"
#include "app/theme.h"
#include "app/transport.h"
#include "headless_ui.h"
#include "support/support.h"
#include "views_fixture.h"

#include <GLFW/glfw3.h>

namespace {

// HOME in a temporary folder: the table reads view.toml and the display settings.
struct ScreenTest : ::testing::Test {
    tsup::TempDir home;
    tsup::ScopedEnv env{"HOME", home.path()};
    HeadlessUi ui;
    AppState s;
    ScreenTest() { apply_music_theme(); }

    void songs(int n) {
        for (int i = 0; i < n; ++i) {
            char num[16];
            std::snprintf(num, sizeof num, "%05d", i);
            s.library.tracks.push_back(views_track(std::string("/m/") + num + ".mp3", std::string("Song ") + num,
                                                   "Artist " + std::to_string(i % 7), "Album " + std::to_string(i / 10),
                                                   i % 10 + 1));
        }
    }
};

}  // namespace

TEST_F(ScreenTest, SongTableClicksSelectRows) {
    songs(40);
    auto draw = [&] { draw_tracklist(s); };
    ui.frame(draw);
    // Find the first row from the top, then the next one below it.
    float y = 0, first_y = -1;
    for (y = 20; y < 300 && first_y < 0; y += 3) {
        ui.click(ImVec2(200, y), draw);
        if (s.focus >= 0) first_y = y;
    }
    ASSERT_GE(first_y, 0) << "no row took a click";
    int32_t first = s.focus;
    float next_y = first_y;
    while (s.focus == first && next_y < first_y + 200) ui.click(ImVec2(200, next_y += 3), draw);
    ASSERT_EQ(s.focus, first + 1);
    float row_h = next_y - first_y;
    // Ctrl-click two rows further: both rows are selected, focus moves.
    ImGui::GetIO().KeyCtrl = true;
    ui.click(ImVec2(200, next_y + 2 * row_h + 8), draw);
    ImGui::GetIO().KeyCtrl = false;
    EXPECT_EQ(s.focus, first + 3);
    EXPECT_EQ(s.selection.size(), 2u);
    // Down moves the focus and clears the selection.
    ui.key(GLFW_KEY_DOWN, [&] { handle_list_keys(s); draw(); });
    EXPECT_EQ(s.focus, first + 4);
    EXPECT_TRUE(s.selection.empty());
    // Ctrl+A selects every row.
    ui.frame([&] { handle_select_all(s); draw(); });
    ImGui::GetIO().KeyCtrl = true;
    ImGui::GetIO().KeysDown[GLFW_KEY_A] = true;
    ui.frame([&] { handle_select_all(s); draw(); });
    ImGui::GetIO().KeysDown[GLFW_KEY_A] = false;
    ImGui::GetIO().KeyCtrl = false;
    EXPECT_EQ(s.selection.size(), 40u);
}

TEST_F(ScreenTest, SongTableSortsOnFirstFrameAndSavesAHeaderClick) {
    songs(12);
    std::reverse(s.library.tracks.begin(), s.library.tracks.end());
    s.current = 0;  // playing the last song of the list
    std::string playing = s.library.tracks[0].path;
    ui.frame([&] { draw_tracklist(s); });
    // Default preference: Album ascending, so "Album 0" comes first.
    EXPECT_EQ(s.library.tracks.front().album, "Album 0");
    EXPECT_EQ(s.library.tracks[(size_t)s.current].path, playing);
    EXPECT_FALSE(tsup::exists(home / ".lumoramusic/view.toml"));  // nothing changed yet
    // A re-sort asked by other code happens on the next frame.
    std::reverse(s.library.tracks.begin(), s.library.tracks.end());
    s.table_dirty = true;
    ui.frame([&] { draw_tracklist(s); });
    EXPECT_EQ(s.library.tracks.front().album, "Album 0");
    EXPECT_FALSE(s.table_dirty);
}

TEST_F(ScreenTest, LargeTableBuildsOnlyVisibleRows) {
    songs(20000);
    ui.frame([&] { draw_tracklist(s); });
    ui.frame([&] { draw_tracklist(s); });
    int big = ui.vertices();
    AppState small;
    small.library.tracks.assign(s.library.tracks.begin(), s.library.tracks.begin() + 60);
    ui.frame([&] { draw_tracklist(small); });
    ui.frame([&] { draw_tracklist(small); });
    // Both show one screenful of rows: the draw data is the same size.
    EXPECT_LT(big, ui.vertices() * 3 / 2);
    EXPECT_EQ(s.table_rows.size(), 20000u);
}

TEST_F(ScreenTest, AlbumTileOpensAndEscCloses) {
    songs(30);
    auto draw = [&] { draw_album_grid(s); };
    s.view = View::Albums;
    ui.frame(draw);
    // The first tile's cover, well away from its play badge (bottom left).
    ui.click(ImVec2(16 + 90, 8 + 60), draw);
    EXPECT_EQ(s.open_album_key, "Album 0\nArtist 0");
    EXPECT_EQ(s.open_album_title, "Album 0");
    EXPECT_EQ(s.open_album_first, 0);
    ui.frame(draw);
    EXPECT_EQ(s.table_rows.size(), 2u);  // songs 0 and 7 share album 0 and artist 0
    ui.key(GLFW_KEY_ESCAPE, draw);
    EXPECT_TRUE(s.open_album_key.empty());
    EXPECT_EQ(s.open_album_first, -1);
}

TEST_F(ScreenTest, SidebarRowsInOrder) {
    songs(5);
    s.library.playlists.push_back(Playlist{"Mine", {"/m/00001.mp3"}});
    std::vector<std::string> seen;
    auto draw = [&] { draw_sidebar(s); };
    for (float y = 30; y < 420; y += 4) {
        s.view = View::Device;  // a view no row shows, so every row's click is visible
        s.playlist_sel = -2;
        size_t lists = s.library.playlists.size();
        ui.click(ImVec2(100, y), draw);
        std::string what;
        if (s.library.playlists.size() != lists) {
            what = "new:" + s.library.playlists.back().name;
            s.library.playlists.pop_back();
        } else if (s.view != View::Device) {
            what = std::to_string((int)s.view) + ":" + std::to_string(s.playlist_sel);
        }
        if (!what.empty() && (seen.empty() || seen.back() != what)) seen.push_back(what);
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"0:-1", "2:-1", "3:-1", "1:-1", "7:-1", "4:-1", "4:0",
                                              "new:Playlist 2", "6:-2"}));
}

TEST_F(ScreenTest, TransportToggles) {
    auto draw = [&] { draw_transport(s); };
    ui.frame(draw);
    float w = 1360, x0 = (w - 180) / 2;  // the look has no window padding
    ImVec2 bar(0, 0);
    ui.click(ImVec2(bar.x + x0 + 12, bar.y + 16 + 12), draw);
    EXPECT_TRUE(s.shuffle);
    for (int want : {1, 2, 0}) {
        ui.click(ImVec2(bar.x + x0 + 156 + 12, bar.y + 16 + 12), draw);
        EXPECT_EQ(s.repeat, want);
    }
}

TEST_F(ScreenTest, DoubleClickStartsTheRowAndEnterTheFocus) {
    std::string a = home / "Music/a.wav", b = home / "Music/b.wav";
    tsup::make_tone(a, 1.0);
    tsup::make_tone(b, 1.0, 660);
    s.library.tracks = {views_track(a, "Aa", "X", "Y", 1), views_track(b, "Bb", "X", "Y", 2)};
    ASSERT_TRUE(s.player.init_manual(48000));
    auto draw = [&] {
        handle_list_keys(s);
        draw_tracklist(s);
    };
    ui.frame(draw);
    float y = 20;
    while (s.focus < 0 && y < 300) ui.click(ImVec2(200, y += 3), draw);
    ASSERT_EQ(s.focus, 0);
    for (int i = 0; i < 40; ++i) ui.frame(draw);  // the scan's clicks are long past
    EXPECT_EQ(s.current, -1);
    ui.click(ImVec2(200, y + 4), draw);
    EXPECT_EQ(s.current, -1);  // one click selects only
    ui.click(ImVec2(200, y + 4), draw);
    EXPECT_EQ(s.current, 0);
    EXPECT_TRUE(s.player.loaded());
    ui.key(GLFW_KEY_DOWN, draw);
    ui.key(GLFW_KEY_ENTER, draw);
    EXPECT_EQ(s.current, 1);
    s.player.shutdown();
}

TEST_F(ScreenTest, StoredDescendingSortAndHeaderClickSaves) {
    songs(6);
    for (size_t i = 0; i < s.library.tracks.size(); ++i) s.library.tracks[i].plays = (uint32_t)(i * 7 % 5);
    tsup::write_file(home / ".lumoramusic/view.toml", "sort_col = \"Plays\"\nsort_asc = 0\n");
    auto draw = [&] { draw_tracklist(s); };
    ui.frame(draw);
    EXPECT_EQ(s.sort_pref.column, "Plays");
    for (size_t i = 1; i < s.library.tracks.size(); ++i)
        EXPECT_GE(s.library.tracks[i - 1].plays, s.library.tracks[i].plays) << i;
    // Clicking the Title header sorts by title and remembers it.
    for (float y = 20; y < 90 && s.sort_pref.column != "Title"; y += 4) ui.click(ImVec2(100, y), draw);
    ASSERT_EQ(s.sort_pref.column, "Title");
    EXPECT_EQ(s.library.tracks.front().title, "Song 00000");
    EXPECT_EQ(tsup::read_file(home / ".lumoramusic/view.toml"),
              "# Lumora Music view prefs (click a column header to change)\nsort_col = \"Title\"\nsort_asc = 1\n");
}
