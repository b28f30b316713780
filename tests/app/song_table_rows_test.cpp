#include <gtest/gtest.h>

#include <cstring>

#include "app/app_state.h"
#include "app/song_table.h"
#include "app/track_start.h"
#include "core/history.h"
#include "core/points.h"
#include "support/support.h"
#include "views_fixture.h"

namespace {

// Five songs: two on one album, a genre-only match for "beat", one empty.
void fill(AppState& s) {
    s.library.tracks = {
        views_track("/m/1.mp3", "Beat It", "Michael", "Thriller", 1),
        views_track("/m/2.mp3", "Help", "The Beatles", "Help!", 1),
        views_track("/m/3.mp3", "Yesterday", "Someone", "Beatles For Sale", 2),
        views_track("/m/4.mp3", "Calm", "Nobody", "Quiet", 1, "Breakbeat"),
        views_track("/m/5.mp3", "", "", "", 0),
    };
}

std::vector<std::string> rows(const AppState& s, const std::string& q) {
    std::vector<std::string> out;
    for (int32_t i : tracklist_rows(s, q)) out.push_back(s.library.tracks[(size_t)i].path);
    // tracklist_rows is the fast path of track_row_visible; both must agree.
    std::vector<std::string> slow;
    for (const Track& t : s.library.tracks)
        if (track_row_visible(s, t, q)) slow.push_back(t.path);
    EXPECT_EQ(out, slow);
    return out;
}

}  // namespace

TEST(TableRows, SearchMatchesTitleArtistAlbumButNotGenre) {
    AppState s;
    fill(s);
    EXPECT_EQ(rows(s, "beat"), (std::vector<std::string>{"/m/1.mp3", "/m/2.mp3", "/m/3.mp3"}));
    EXPECT_EQ(rows(s, "").size(), 5u);
    EXPECT_TRUE(rows(s, "zzz").empty());
    EXPECT_EQ(lower_ascii("BeAT \xC3\x89"), "beat \xC3\x89");
}

TEST(TableRows, PlaylistViews) {
    AppState s;
    fill(s);
    s.library.playlists = {Playlist{"Empty", {}}, Playlist{"Two", {"/m/4.mp3", "/m/2.mp3"}}};
    s.view = View::Playlist;
    s.playlist_sel = -1;  // All Playlists: no filter
    EXPECT_EQ(rows(s, "").size(), 5u);
    s.playlist_sel = 0;
    EXPECT_TRUE(rows(s, "").empty());
    s.playlist_sel = 1;  // library order, not playlist order
    EXPECT_EQ(rows(s, ""), (std::vector<std::string>{"/m/2.mp3", "/m/4.mp3"}));
    EXPECT_EQ(rows(s, "help"), (std::vector<std::string>{"/m/2.mp3"}));
    s.playlist_sel = 7;  // invalid: treated as none
    EXPECT_EQ(rows(s, "").size(), 5u);
    s.view = View::Songs;  // a playlist index outside the playlist view does nothing
    s.playlist_sel = 0;
    EXPECT_EQ(rows(s, "").size(), 5u);
}

TEST(TableRows, OpenedAlbumShowsOnlyItsSongs) {
    AppState s;
    fill(s);
    s.library.tracks.push_back(views_track("/m/6.mp3", "Other", "", "", 0));
    s.view = View::Albums;
    s.open_album_key = album_key(s.library.tracks[4]);  // "Unknown Album\nUnknown Artist"
    EXPECT_EQ(rows(s, ""), (std::vector<std::string>{"/m/5.mp3", "/m/6.mp3"}));
    EXPECT_EQ(rows(s, "oth"), (std::vector<std::string>{"/m/6.mp3"}));
}

TEST(Selection, PlainCmdAndShiftClicks) {
    AppState s;
    fill(s);
    list_click_select_mods(s, 1, false, false);
    EXPECT_EQ(s.focus, 1);
    EXPECT_TRUE(s.selection.empty());
    list_click_select_mods(s, 3, false, true);  // Cmd: adds the focus row first, then toggles
    EXPECT_EQ(s.selection, (std::set<std::string>{"/m/2.mp3", "/m/4.mp3"}));
    EXPECT_EQ(s.focus, 3);
    list_click_select_mods(s, 3, false, true);  // toggles off again
    EXPECT_EQ(s.selection, (std::set<std::string>{"/m/2.mp3"}));
    // Shift after Cmd: the focus stays the anchor; the range replaces the selection.
    list_click_select_mods(s, 0, true, false);
    EXPECT_EQ(s.focus, 3);
    EXPECT_EQ(s.selection, (std::set<std::string>{"/m/1.mp3", "/m/2.mp3", "/m/3.mp3", "/m/4.mp3"}));
}

TEST(Selection, ShiftRangeSkipsHiddenRowsAndNeedsAFocus) {
    AppState s;
    fill(s);
    std::strcpy(s.search, "beat");  // rows 0, 1, 2 visible
    s.focus = -1;
    list_click_select_mods(s, 2, true, false);  // no focus: a plain click
    EXPECT_EQ(s.focus, 2);
    EXPECT_TRUE(s.selection.empty());
    std::strcpy(s.search, "h");  // rows 0, 1 and 4 match; 2 and 3 are hidden
    s.library.tracks[4].title = "h";
    s.focus = 4;
    list_click_select_mods(s, 0, true, false);
    EXPECT_EQ(s.selection, (std::set<std::string>{"/m/1.mp3", "/m/2.mp3", "/m/5.mp3"}));
    EXPECT_EQ(s.focus, 4);
}

TEST(Selection, SelectedRowsAndActionTargets) {
    AppState s;
    fill(s);
    s.current = 4;
    s.focus = 0;
    s.selection = {"/m/3.mp3", "/m/2.mp3"};
    for (int32_t i : {0, 1, 2, 4}) EXPECT_TRUE(track_row_selected(s, i)) << i;
    EXPECT_FALSE(track_row_selected(s, 3));
    EXPECT_FALSE(track_row_selected(s, 9));
    // A selected row: every selected song, in library order.
    EXPECT_EQ(list_selection_paths(s, 2), (std::vector<std::string>{"/m/2.mp3", "/m/3.mp3"}));
    // An unselected row acts on itself only, even with others selected.
    EXPECT_EQ(list_selection_paths(s, 3), (std::vector<std::string>{"/m/4.mp3"}));
    EXPECT_EQ(list_selection_paths(s, -1), (std::vector<std::string>{"/m/1.mp3"}));  // the focus row
    s.focus = -1;
    EXPECT_TRUE(list_selection_paths(s, -1).empty());
    EXPECT_TRUE(list_selection_paths(s, 40).empty());
}

TEST(Selection, StepVisibleRows) {
    AppState s;
    fill(s);
    std::strcpy(s.search, "beat");  // 0, 1, 2
    struct Case {
        int32_t from, step, want;
    };
    const Case cases[] = {
        {-1, 1, 0},  // Down with no focus: first visible row
        {-1, -1, 2}, // Up with no focus: last visible row
        {0, -1, 0},  // Up at the first visible row keeps it
        {2, 1, 2},   // Down at the last visible row keeps it
        {0, 1, 1},
        {4, -1, 2},  // from a hidden row to the previous visible one
    };
    for (const Case& c : cases) EXPECT_EQ(list_step_visible(s, c.from, c.step), c.want) << c.from << "," << c.step;
}

TEST(Selection, SelectAllTakesVisibleRows) {
    AppState s;
    fill(s);
    std::strcpy(s.search, "beat");
    s.selection = {"/m/5.mp3"};
    list_select_all(s);
    EXPECT_EQ(s.selection, (std::set<std::string>{"/m/1.mp3", "/m/2.mp3", "/m/3.mp3"}));
    EXPECT_EQ(s.focus, 0);
}

TEST(ContextMenu, PlaylistEdits) {
    AppState s;
    fill(s);
    for (int i = 1; i <= 3; ++i) s.library.playlists.push_back(Playlist{"P" + std::to_string(i), {}});
    s.library.playlists[0].paths = {"/m/2.mp3"};
    EXPECT_EQ(playlist_add_paths(s, 0, {"/m/1.mp3", "/m/2.mp3"}), 1);  // no duplicates
    EXPECT_EQ(s.library.playlists[0].paths, (std::vector<std::string>{"/m/2.mp3", "/m/1.mp3"}));
    EXPECT_EQ(playlist_add_paths(s, 9, {"/m/1.mp3"}), 0);
    int32_t idx = playlist_new_with(s, {"/m/3.mp3", "/m/4.mp3"});
    EXPECT_EQ(idx, 3);
    EXPECT_EQ(s.library.playlists[3].name, "Playlist 4");
    EXPECT_EQ(s.library.playlists[3].paths.size(), 2u);
}

TEST(ContextMenu, ClearIoIsOneUndoStep) {
    tsup::TempDir home;
    tsup::ScopedEnv env("HOME", home.path());
    IoStore store;
    store["/m/1.mp3"] = IoSaved{1.5f, 20.0f};
    store["/m/2.mp3"] = IoSaved{2.0f, -1.0f};
    store["/m/3.mp3"] = IoSaved{3.0f, 30.0f};
    ASSERT_TRUE(io_store_save(store, io_store_file()));
    EXPECT_EQ(list_clear_io({"/m/1.mp3", "/m/3.mp3"}), "Clear I/O (2 songs)");
    IoStore left = io_store_load(io_store_file());
    ASSERT_EQ(left.size(), 1u);
    EXPECT_TRUE(left.count("/m/2.mp3"));
    EXPECT_EQ(hist_undo_label(), "Clear I/O (2 songs)");
    EXPECT_EQ(hist_undo(), "Clear I/O (2 songs)");
    EXPECT_EQ(io_store_load(io_store_file()).size(), 3u);  // undo brings the points back
    EXPECT_EQ(list_clear_io({"/m/2.mp3"}), "Clear I/O (1 song)");
}
