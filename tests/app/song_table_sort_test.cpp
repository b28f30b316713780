#include <gtest/gtest.h>

#include "app/app_state.h"
#include "app/song_table.h"
#include "views_fixture.h"

TEST(TextCmp, OrdersLikeTheTable) {
    struct Case {
        std::string a, b;
        int sign;
    };
    const Case cases[] = {
        {"abc", "ABD", -1},        // case folded
        {"Beat", "beat", 0},       // equal after folding
        {"", "a", 1},              // empty sorts last
        {"a", "", -1},             //
        {"", "", 0},               //
        {"ab", "abc", -1},         // prefix first
        {"zebra", "\xC3\x89t\xC3\xA9", -1},  // multi-byte sorts after ASCII
        {"_x", "ax", -1},          // '_' (95) before 'a' (97), not before 'A' folded
        {"[", "a", -1},            // '[' (91) stays below the folded letters
    };
    for (const Case& c : cases) {
        int r = text_cmp(c.a, c.b);
        EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.a << " vs " << c.b;
    }
}

TEST(TrackColLess, EachColumnAndItsFallbacks) {
    Track a = views_track("/a", "Alpha", "Same", "Same", 2);
    Track b = views_track("/b", "Beta", "Same", "Same", 1);
    EXPECT_TRUE(track_col_less(a, b, "Title"));
    EXPECT_TRUE(track_col_less(a, b, "Artist"));  // equal artists: title decides
    EXPECT_TRUE(track_col_less(b, a, "Album"));   // equal albums: track number decides
    b.track_num = 2;
    EXPECT_TRUE(track_col_less(a, b, "Album"));   // equal numbers: title decides
    a.genre = "Rock";
    b.genre = "Rock";
    EXPECT_FALSE(track_col_less(a, b, "Genre"));  // no fallback for genre
    EXPECT_FALSE(track_col_less(b, a, "Genre"));
    a.duration = 300;
    b.duration = 20;
    EXPECT_TRUE(track_col_less(b, a, "Time"));
    b.fav = true;
    EXPECT_TRUE(track_col_less(a, b, "\xE2\x99\xA5"));
    a.plays = 9;
    EXPECT_TRUE(track_col_less(b, a, "Plays"));
    EXPECT_FALSE(track_col_less(a, b, "Nope"));
    EXPECT_FALSE(track_col_less(b, a, ""));
}

TEST(TableSort, AlbumOrderWithEmptyAlbumsLast) {
    std::vector<Track> t = {views_track("/1", "Zed", "X", "", 0), views_track("/2", "b", "X", "Abbey", 2),
                            views_track("/3", "a", "X", "Abbey", 2), views_track("/4", "c", "X", "Abbey", 1),
                            views_track("/5", "d", "X", "abacus", 9)};
    int32_t cur = -1, foc = -1;
    table_sort_tracks(t, "Album", true, cur, foc);
    std::vector<std::string> order;
    for (auto& x : t) order.push_back(x.path);
    EXPECT_EQ(order, (std::vector<std::string>{"/5", "/4", "/3", "/2", "/1"}));
    table_sort_tracks(t, "Album", false, cur, foc);
    EXPECT_EQ(t.front().path, "/1");
}

TEST(TableSort, StableAndFollowsCurrentAndFocus) {
    std::vector<Track> t = {views_track("/a", "Same", "B", "x"), views_track("/b", "Same", "A", "x"),
                            views_track("/c", "Other", "C", "x")};
    int32_t cur = 0, foc = 2;  // playing /a, focus on /c
    table_sort_tracks(t, "Title", true, cur, foc);
    // Equal titles keep their previous relative order.
    EXPECT_EQ(t[0].path, "/c");
    EXPECT_EQ(t[1].path, "/a");
    EXPECT_EQ(t[2].path, "/b");
    EXPECT_EQ(t[(size_t)cur].path, "/a");
    EXPECT_EQ(t[(size_t)foc].path, "/c");
    int32_t none = -1, bad = 99;
    table_sort_tracks(t, "Artist", true, none, bad);
    EXPECT_EQ(none, -1);
    EXPECT_EQ(bad, -1);
}

TEST(TableSort, LibraryReorderKeepsPlayingSong) {
    AppState s;
    s.library.tracks = {views_track("/m/b.mp3", "B", "Zz", "Q"), views_track("/m/a.mp3", "A", "Aa", "R")};
    s.current = 0;
    s.focus = 1;
    library_sort_keep(s, &Library::sort_by_artist);
    EXPECT_EQ(s.library.tracks[(size_t)s.current].path, "/m/b.mp3");
    EXPECT_EQ(s.library.tracks[(size_t)s.focus].path, "/m/a.mp3");
}

TEST(TracklistTexts, TitlesAndTimes) {
    const char* titles[] = {"Recently Added", "Songs", "Artists", "Albums", "Playlists", "Songs", "Songs", "Trash", "Songs"};
    for (int v = 0; v < 9; ++v) EXPECT_EQ(tracklist_title((View)v), titles[v]) << v;
    EXPECT_EQ(tracklist_fmt_sec(0), "0:00");
    EXPECT_EQ(tracklist_fmt_sec(61), "1:01");
    EXPECT_EQ(tracklist_fmt_sec(3600), "60:00");
}
