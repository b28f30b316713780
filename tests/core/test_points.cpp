#include <gtest/gtest.h>

#include "core/io_settings.h"
#include "core/originals.h"
#include "core/points.h"
#include "support/points_support.h"

using tsup::StateHome;

namespace {

const std::string kHead = "# Lumora Music — per-song I/O points\n\n";

TEST(PointsStore, WritesOnlySetPointsInSixDigitNotation)
{
    IoStore s;
    s["/M/a.mp3"] = {12.5f, 183.067f};
    s["/M/b \"live\".mp3"] = {5.0f, -1.0f};
    s["/M/c.mp3"] = {-1.0f, 0.0f};
    EXPECT_EQ(io_store_text(s), kHead +
                                    "[[song]]\npath = \"/M/a.mp3\"\nin = 12.5\nout = 183.067\n\n"
                                    "[[song]]\npath = \"/M/b \\\"live\\\".mp3\"\nin = 5\n\n"
                                    "[[song]]\npath = \"/M/c.mp3\"\n\n");
    IoStore back = io_store_parse(io_store_text(s));
    ASSERT_EQ(back.size(), 3u);
    EXPECT_FLOAT_EQ(back["/M/b \"live\".mp3"].in, 5.0f);
    EXPECT_FLOAT_EQ(back["/M/b \"live\".mp3"].out, -1.0f);
    // An explicit out = 0 is not written, so the entry comes back unset.
    EXPECT_FLOAT_EQ(back["/M/c.mp3"].out, -1.0f);
}

TEST(PointsStore, ReaderRules)
{
    struct Case {
        const char* name;
        std::string text;
        std::string path;
        float in, out;
        size_t size;
    };
    const Case cases[] = {
        {"last table for a path wins", "[[song]]\npath = \"/a\"\nin = 1\nout = 9\n[[song]]\npath = \"/a\"\nin = 2\n",
         "/a", 2, -1, 1},
        {"explicit out = 0 stays 0", "[[song]]\npath = \"/a\"\nout = 0\n", "/a", -1, 0, 1},
        {"lenient numbers", "[[song]]\npath = \"/a\"\nin =   7.25s\nout = abc\n", "/a", 7.25f, 0, 1},
        {"nan and inf read as no number", "[[song]]\npath = \"/a\"\nin = nan\nout = inf\n", "/a", 0, 0, 1},
        {"beyond float range reads as no number", "[[song]]\npath = \"/a\"\nin = 1e39\nout = -1e300\n", "/a", 0, 0, 1},
        {"keys before any header still count", "path = \"/a\"\nin = 3\n", "/a", 3, -1, 1},
        {"comments, junk and unknown keys skipped",
         "# in = 4\n[[song]]\njunk line\n#path = \"/x\"\npath = \"/a\"\nzzz = 1\nin = 4\n", "/a", 4, -1, 1},
        {"tables without a path are dropped", "[[song]]\nin = 3\n[[song]]\npath = \"\"\nout = 4\n", "", 0, 0, 0},
        {"CRLF lines", "[[song]]\r\npath = \"/a\"\r\nin = 1.5\r\n", "/a", 1.5f, -1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        IoStore s = io_store_parse(c.text);
        ASSERT_EQ(s.size(), c.size);
        if (!c.size) continue;
        ASSERT_TRUE(s.count(c.path));
        EXPECT_FLOAT_EQ(s[c.path].in, c.in);
        EXPECT_FLOAT_EQ(s[c.path].out, c.out);
    }
}

TEST(PointsStore, FileLoadSaveAndClear)
{
    StateHome home;
    std::string file = io_store_file();
    EXPECT_EQ(file, home.state("io_points.toml"));
    EXPECT_TRUE(io_store_load(file).empty());  // missing file
    EXPECT_FALSE(io_store_save({}, ""));

    IoStore s;
    s["/a.mp3"] = {1, 2};
    s["/b.mp3"] = {3, -1};
    ASSERT_TRUE(io_store_save(s, file));
    EXPECT_FALSE(io_clear_song_points(s, file, "/nope.mp3"));
    EXPECT_TRUE(io_clear_song_points(s, file, "/a.mp3"));
    IoStore back = io_store_load(file);
    EXPECT_EQ(back.size(), 1u);
    EXPECT_TRUE(back.count("/b.mp3"));
}

TEST(IoSettings, ClampsAndDefaults)
{
    struct Case {
        const char* line;
        int fade_in, phone_fade_out;
        bool phone_cut;
    };
    const Case cases[] = {
        {"", 10, 1500, true},
        {"fade_in_ms = 9000", 5000, 1500, true},
        {"fade_in_ms = -4", 0, 1500, true},
        {"phone_cut = 2", 10, 1500, true},
        {"phone_cut = x", 10, 1500, false},
        {"phone_cut = 0", 10, 1500, false},
        {"phone_fade_out_ms = 99999999999999999999", 10, 5000, true},
        {"# fade_in_ms = 3", 10, 1500, true},
        {"fade_in_ms=25", 25, 1500, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        IoSettings s;
        io_settings_parse(s, c.line);
        EXPECT_EQ(s.fade_in_ms, c.fade_in);
        EXPECT_EQ(s.phone_fade_out_ms, c.phone_fade_out);
        EXPECT_EQ(s.phone_cut, c.phone_cut);
    }
}

TEST(IoSettings, SevenLineFileRoundTrips)
{
    StateHome home;
    IoSettings s;
    EXPECT_FALSE(io_settings_save(s));  // no path yet: nothing written
    s.path = io_settings_file();
    io_settings_load(s);  // missing file keeps the defaults
    EXPECT_EQ(s.phone_fade_in_ms, 300);
    s.fade_out_ms = 40;
    s.phone_cut = false;
    ASSERT_TRUE(io_settings_save(s));
    EXPECT_EQ(tsup::read_file(home.state("io_settings.toml")),
              "# Lumora Music — I/O fades (ms). 10 = quick declick; raise for musical fades.\n"
              "fade_in_ms = 10\nfade_out_ms = 40\n"
              "# Phone sends: cut to I/O points (1/0) + their own fades (ms).\n"
              "phone_cut = 0\nphone_fade_in_ms = 300\nphone_fade_out_ms = 1500\n");
    IoSettings back;
    back.path = s.path;
    io_settings_load(back);
    EXPECT_EQ(back.fade_out_ms, 40);
    EXPECT_FALSE(back.phone_cut);
}

TEST(Originals, DropsVanishedFilesAndStrayBackups)
{
    StateHome home;
    std::string dir = io_originals_dir();
    EXPECT_EQ(dir, home.state("originals"));
    EXPECT_TRUE(tsup::exists(dir));
    tsup::write_file(dir + "/kept.mp3", "x");
    std::string index = io_originals_file();
    tsup::write_file(index,
                     "# header\n\nbackup = \"" + dir + "/kept.mp3\"\n"  // no song before it
                     "[[original]]\nsong = \"/m/gone.mp3\"\nbackup = \"" + dir + "/gone.mp3\"\n\n"
                     "[[original]]\nsong = \"/m/a \\\"q\\\".mp3\"\nbackup = \"" + dir + "/kept.mp3\"\n\n");
    IoOriginals m = io_originals_load(index);
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m["/m/a \"q\".mp3"], dir + "/kept.mp3");

    ASSERT_TRUE(io_originals_save(m, index));
    EXPECT_EQ(tsup::read_file(index),
              "# Lumora Music — replaced songs and their saved originals (Restore Original)\n\n"
              "[[original]]\nsong = \"/m/a \\\"q\\\".mp3\"\nbackup = \"" + dir + "/kept.mp3\"\n\n");
    EXPECT_EQ(io_originals_load(index), m);
    EXPECT_FALSE(io_originals_save(m, ""));
}

}  // namespace
