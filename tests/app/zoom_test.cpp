#include <gtest/gtest.h>

#include "app/zoom.h"
#include "chords/chord_settings.h"

TEST(ZoomStep, SongListScaleAndReset) {
    ChordSettings s;
    float acc = 0;
    EXPECT_EQ(zoom_step_settings(s, acc, kZoomSongs, false, false, 1), "Songs 106%");
    EXPECT_EQ(zoom_step_settings(s, acc, kZoomSongs, false, false, 40), "Songs 180%");
    EXPECT_FLOAT_EQ(s.list_zoom, 1.8f);
    EXPECT_EQ(zoom_step_settings(s, acc, kZoomSongs, true, false, 0), "Songs 100%");
    EXPECT_FLOAT_EQ(s.list_zoom, 1.0f);
    zoom_step_settings(s, acc, kZoomSongs, false, false, -40);
    EXPECT_FLOAT_EQ(s.list_zoom, 0.8f);
}

TEST(ZoomStep, AlbumTilesStopAtTheirLimits) {
    ChordSettings s;
    float acc = 0;
    EXPECT_EQ(zoom_step_settings(s, acc, kZoomAlbums, false, false, 1), "Albums 145 px");
    for (int i = 0; i < 30; ++i) zoom_step_settings(s, acc, kZoomAlbums, false, false, 1);
    EXPECT_FLOAT_EQ(s.album_tile, 320.0f);
    for (int i = 0; i < 30; ++i) zoom_step_settings(s, acc, kZoomAlbums, false, false, -1);
    EXPECT_FLOAT_EQ(s.album_tile, 72.0f);
    EXPECT_EQ(zoom_step_settings(s, acc, kZoomAlbums, true, false, 0), "Albums 132 px");
}

TEST(ZoomStep, ChordsAndLyricsFont) {
    ChordSettings s;
    float acc = 0;
    EXPECT_EQ(zoom_step_settings(s, acc, kZoomChords, false, false, 100), "Chords 2.5x");
    EXPECT_EQ(zoom_step_settings(s, acc, kZoomLyrics, false, false, -100), "Lyrics 14 pt");
    // No area with keys falls back to the lyrics.
    EXPECT_EQ(zoom_step_settings(s, acc, kZoomNone, true, false, 0), "Lyrics 28 pt");
}

TEST(ZoomStep, LyricLinesTakeWholeStepsAndKeepTheFraction) {
    ChordSettings s;  // 2 lines each side
    float acc = 0;
    EXPECT_EQ(zoom_step_settings(s, acc, kZoomLyrics, false, true, 0.6f), "Lyrics 2 lines each side");
    EXPECT_EQ(zoom_step_settings(s, acc, kZoomLyrics, false, true, 0.6f), "Lyrics 3 lines each side");
    EXPECT_NEAR(acc, 0.2f, 1e-5);
    EXPECT_EQ(zoom_step_settings(s, acc, kZoomLyrics, false, true, -2.2f), "Lyrics 1 line each side");
    zoom_step_settings(s, acc, kZoomLyrics, false, true, -9);
    EXPECT_EQ(s.lyr_ctx, 0);
    zoom_step_settings(s, acc, kZoomLyrics, false, true, 9);
    EXPECT_EQ(s.lyr_ctx, 5);
    EXPECT_EQ(zoom_step_settings(s, acc, kZoomLyrics, true, true, 0), "Lyrics 2 lines each side");
}
