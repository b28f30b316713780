// The real player under Xvfb with a silent audio driver and HOME in a
// temporary folder: first scan, catalog saved at exit, screenshot, and the
// message without a display.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/library.h"
#include "support/app_support.h"
#include "support/support.h"

namespace fs = std::filesystem;

namespace {

// Three tagged songs whose walk order (a/, m/, z/) is the reverse of their
// natural order (artist, album, track number), which the song table's default
// sort (album, track number) keeps.
void make_music(const std::string& music) {
    struct Song {
        const char* file;
        const char* title;
        const char* album;
        const char* track;
    } songs[] = {
        {"z/first.mp3", "Opening", "Another", "1"},
        {"a/second.mp3", "Closing", "Record", "2"},
        {"m/third.mp3", "Middle", "Record", "1"},
    };
    for (const Song& s : songs)
        tsup::make_tone(music + "/" + s.file, 2.0, 440,
                        {"-metadata", std::string("title=") + s.title, "-metadata",
                         "artist=Alpha", "-metadata", std::string("album=") + s.album,
                         "-metadata", std::string("track=") + s.track});
}

struct AppRun {
    int status = -1;
    std::string err;
};

AppRun run_app(const std::string& home, const std::map<std::string, std::string>& extra) {
    std::map<std::string, std::string> env = {
        {"HOME", home},
        {"XDG_DATA_HOME", home + "/.local/share"},
        {"SDL_AUDIODRIVER", "dummy"},
        // No session bus: the media service stays quietly off.
        {"DBUS_SESSION_BUS_ADDRESS", "unix:path=" + home + "/no-bus"},
    };
    for (const auto& [k, v] : extra) env[k] = v;
    tsup::Background app({"xvfb-run", "-a", "-s", "-screen 0 1600x1000x24", LUMORA_APP_BIN}, env,
                         {}, home + "/app");
    AppRun r;
    r.status = app.wait(60);
    r.err = app.err();
    return r;
}

Library saved_catalog(const std::string& home) {
    Library lib;
    lib.load_catalog_text(tsup::read_file(home + "/.lumoramusic/library.toml"));
    return lib;
}

// Number of separate bands of rows holding dark (text) pixels in the content
// column, above the transport bar.
int text_bands(const tsup::RgbImage& img) {
    int bands = 0;
    bool in_band = false;
    for (int y = 0; y < img.h * 7 / 10; ++y) {
        bool dark = false;
        for (int x = 220; x < 1000 && x < img.w && !dark; ++x) {
            const unsigned char* p = &img.px[(size_t(y) * size_t(img.w) + size_t(x)) * 3];
            dark = p[0] < 110 && p[1] < 110 && p[2] < 110;
        }
        if (dark && !in_band) ++bands;
        in_band = dark;
    }
    return bands;
}

TEST(PlayerApp, WithoutADisplayItSaysSoAndFails) {
    tsup::TempDir home;
    tsup::RunOptions o;
    o.env = {{"HOME", home.path()}, {"SDL_AUDIODRIVER", "dummy"}};
    o.unset = {"DISPLAY", "WAYLAND_DISPLAY"};
    o.timeout_s = 30;
    tsup::RunResult r = tsup::run({LUMORA_APP_BIN}, o);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("display"), std::string::npos) << r.err;
    EXPECT_FALSE(tsup::exists(home / ".lumoramusic/library.toml"));
}

// A first run: the music folder is scanned, the songs come out in natural
// order with their tags and lengths, and the catalog is saved at exit.
void check_first_scan(bool empty_catalog) {
    tsup::TempDir home;
    make_music(home / "Music");
    if (empty_catalog)
        tsup::write_file(home / ".lumoramusic/library.toml", "# Lumora Music library\n");
    AppRun r = run_app(home.path(), {{"LUMORA_QUIT_AFTER_FRAMES", "3"}});
    ASSERT_EQ(r.status, 0) << r.err;
    Library lib = saved_catalog(home.path());
    ASSERT_EQ(lib.tracks.size(), 3u);
    const char* want[][2] = {{"Opening", "Another"}, {"Middle", "Record"}, {"Closing", "Record"}};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(lib.tracks[i].title, want[i][0]);
        EXPECT_EQ(lib.tracks[i].album, want[i][1]);
        EXPECT_EQ(lib.tracks[i].artist, "Alpha");
        EXPECT_EQ(lib.tracks[i].duration, 2u);
        EXPECT_EQ(lib.tracks[i].plays, 0u);
    }
    EXPECT_EQ(lib.tracks[1].track_num, 1);
    EXPECT_EQ(lib.tracks[2].track_num, 2);
    EXPECT_EQ(lib.scan_root, home / "Music");
    // The daily backup was made at start.
    EXPECT_TRUE(fs::exists(home / ".lumoramusic/backups"));
    EXPECT_FALSE(fs::is_empty(home / ".lumoramusic/backups"));
}

TEST(PlayerApp, FirstScanWithoutACatalog) { check_first_scan(false); }

TEST(PlayerApp, ACatalogListingNoTracksIsScannedLikeNone) { check_first_scan(true); }

TEST(PlayerApp, ACatalogWithTracksIsNotRescanned) {
    tsup::TempDir home;
    make_music(home / "Music");
    Library lib;
    lib.catalog_path = home / ".lumoramusic/library.toml";
    lib.scan_root = home / "Music";
    Track t;
    t.path = home / "Music/m/third.mp3";
    t.title = "Kept";
    t.plays = 7;
    lib.tracks.push_back(t);
    fs::create_directories(home / ".lumoramusic");
    ASSERT_TRUE(lib.save_catalog());
    AppRun r = run_app(home.path(), {{"LUMORA_QUIT_AFTER_FRAMES", "20"}});
    ASSERT_EQ(r.status, 0) << r.err;
    Library saved = saved_catalog(home.path());
    ASSERT_EQ(saved.tracks.size(), 1u);
    EXPECT_EQ(saved.tracks[0].title, "Kept");
    EXPECT_EQ(saved.tracks[0].plays, 7u);
    EXPECT_EQ(saved.tracks[0].duration, 2u);  // refreshed in the background
}

TEST(PlayerApp, ScreenshotShowsTheSongList) {
    tsup::TempDir with, without;
    make_music(with / "Music");
    fs::create_directories(without / "Music");
    int bands[2] = {0, 0};
    int k = 0;
    for (tsup::TempDir* home : {&with, &without}) {
        std::string shot = *home / "shot.png";
        AppRun r = run_app(home->path(), {{"LUMORA_QUIT_AFTER_FRAMES", "3"},
                                          {"LUMORA_SCREENSHOT", shot}});
        ASSERT_EQ(r.status, 0) << r.err;
        tsup::RgbImage img = tsup::read_png(shot);
        ASSERT_EQ(img.w, 1360);
        ASSERT_EQ(img.h, 900);
        bands[k++] = text_bands(img);
    }
    // Every song adds a line of text to the content column.
    EXPECT_GE(bands[0] - bands[1], 3) << bands[0] << " vs " << bands[1];
}

}  // namespace
