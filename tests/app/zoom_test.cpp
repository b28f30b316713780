#include <gtest/gtest.h>

#include <GLFW/glfw3.h>

#include "app/app_state.h"
#include "app/zoom.h"
#include "chords/chord_settings.h"
#include "headless_ui.h"
#include "support/support.h"

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

// Zoom input through a real ImGui frame: wheel over a marked area, keys,
// the delayed save that keeps the rest of the settings file.
TEST(ZoomApply, WheelKeysAndDelayedSave) {
    tsup::TempDir home;
    tsup::ScopedEnv env("HOME", home.path());
    ChordSettings before;
    before.transpose = 3;  // a user's own choice that a zoom save must keep
    ASSERT_TRUE(chord_settings_save(chord_settings_file(), before));
    HeadlessUi ui;
    AppState s;
    auto apply = [&] { zoom_apply(s); };
    // Ctrl+wheel with no marked area does nothing.
    s.zoom.wheel = 1;
    ui.frame(apply);
    EXPECT_TRUE(s.zoom_hud_text.empty());
    // Over the song list.
    s.zoom.wheel = 1;
    s.zoom.area = kZoomSongs;
    ui.frame(apply);
    EXPECT_EQ(s.zoom_hud_text, "Songs 106%");
    EXPECT_EQ(s.zoom.area, kZoomNone);  // marked again by the views each frame
    EXPECT_EQ(s.chord_settings.transpose, 3);  // the file was read before changing it
    // Ctrl+plus with no marked area zooms the lyrics font.
    ui.key(GLFW_KEY_EQUAL, apply, true);
    EXPECT_EQ(s.zoom_hud_text, "Lyrics 30 pt");
    // Ctrl+0 over the song list resets it.
    s.zoom.area = kZoomSongs;
    ImGui::GetIO().KeyCtrl = true;
    ImGui::GetIO().KeysDown[GLFW_KEY_0] = true;
    ui.frame(apply);
    ImGui::GetIO().KeysDown[GLFW_KEY_0] = false;
    ImGui::GetIO().KeyCtrl = false;
    EXPECT_EQ(s.zoom_hud_text, "Songs 100%");
    // Saved once changes stop for 0.4 s, not before.
    EXPECT_NE(chord_settings_load(chord_settings_file()).lyr_size, s.chord_settings.lyr_size);
    for (int i = 0; i < 30; ++i) ui.frame(apply);
    ChordSettings after = chord_settings_load(chord_settings_file());
    EXPECT_NEAR(after.lyr_size, 29.68f, 0.01f);
    EXPECT_EQ(after.transpose, 3);
    EXPECT_EQ(s.settings_save_at, 0.0);
}
