#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "chords/chord_sheet.h"
#include "support/support.h"

namespace {

TEST(ChordsPath, CutsTheExtensionOfTheFileOnly)
{
    EXPECT_EQ(chords_path("/music/Song.mp3"), "/music/Song.chords.toml");
    EXPECT_EQ(chords_path("/music/v1.2/Song"), "/music/v1.2/Song.chords.toml");
    EXPECT_EQ(chords_path("a.b.flac"), "a.b.chords.toml");
}

TEST(ChordsSave, ExactBytes)
{
    ChordSheet s;
    s.key = "Am";
    s.bpm = 96;
    s.meter = 3;
    s.downbeat = 0.5f;
    s.sections = {{1.0f, "Verse"}};
    s.chords = {{0.0f, "Am"}, {2.25f, "F"}};
    EXPECT_EQ(chords_text(s),
              "# Lumora Music chords. t = seconds from song start; chord lasts until next t.\n"
              "# meter = beats per bar; downbeat = time of a beat 1 (-1 = first chord).\n"
              "key = \"Am\"\nbpm = 96.00\nmeter = 3\ndownbeat = 0.500\n"
              "\n[[section]]\nt = 1.000\nname = \"Verse\"\n"
              "\n[[chord]]\nt = 0.000\nname = \"Am\"\n"
              "\n[[chord]]\nt = 2.250\nname = \"F\"\n");
}

TEST(ChordsLoad, RoundTripsOddNames)
{
    tsup::TempDir d;
    ChordSheet s;
    s.key = "E\"b\\";
    s.chords = {{1.5f, "C\"x\\"}, {0.5f, "\\"}, {0.5f, "second at 0.5"}};
    std::sort(s.chords.begin(), s.chords.end(),
              [](const ChordEv& a, const ChordEv& b) { return a.t < b.t; });
    ASSERT_TRUE(chords_save(d / "s.chords.toml", s));
    ChordSheet r;
    ASSERT_TRUE(chords_load(d / "s.chords.toml", r));
    EXPECT_EQ(r.key, s.key);
    ASSERT_EQ(r.chords.size(), 3u);
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(r.chords[i].name, s.chords[i].name);
    EXPECT_EQ(r.meter, 4);
    EXPECT_FLOAT_EQ(r.downbeat, -1.0f);
}

TEST(ChordsLoad, ClampsDropsSortsAndIgnores)
{
    std::string text =
        "# comment = ignored\nkey = \"G\"\nbpm = abc\nmeter = 40\ndownbeat = nan\nunknown = 3\n"
        "  key = \"indented\"\n"
        "[[chord]]\nt = 5\nname = \"late\"\n"
        "[[chord]]\nt = 1\n"                      // no name: dropped
        " [[chord]]\nt = 9\n"                     // not in column 1: ignored header
        "[[section]]\nt = 2\nname = \"Chorus\"\n"
        "[[chord]]\nt = 3\nname = \"early\"\nkey = \"ignored in tables\"\n"
        "[[chord]]\nt = 3\nname = \"same time\"\n"
        "[[chord]]\nt = nan\nname = \"bad time\"\n"
        "[[chord]]\nname = \"unquoted\n";
    ChordSheet s;
    s.chords = {{7.0f, "stale"}};
    ASSERT_TRUE(chords_parse(text, s));
    EXPECT_EQ(s.key, "G");
    EXPECT_FLOAT_EQ(s.bpm, 0.0f);
    EXPECT_EQ(s.meter, 16);
    EXPECT_FLOAT_EQ(s.downbeat, 0.0f);
    ASSERT_EQ(s.chords.size(), 4u);
    EXPECT_EQ(s.chords[0].name, "bad time");  // NaN reads as 0
    EXPECT_EQ(s.chords[1].name, "early");
    EXPECT_EQ(s.chords[2].name, "same time");
    EXPECT_EQ(s.chords[3].name, "late");
    ASSERT_EQ(s.sections.size(), 1u);
    EXPECT_EQ(s.sections[0].name, "Chorus");

    ChordSheet m;
    chords_parse("meter = 0\n[[chord]]\nname = \"C\"\n", m);
    EXPECT_EQ(m.meter, 1);
    chords_parse("meter = -7\n", m);
    EXPECT_EQ(m.meter, 1);
    EXPECT_FALSE(chords_parse("key = \"C\"\n", m));
}

TEST(ChordsLoad, MissingFileGivesDefaults)
{
    tsup::TempDir d;
    ChordSheet s;
    s.key = "X";
    s.chords = {{1.0f, "C"}};
    EXPECT_FALSE(chords_load(d / "none.chords.toml", s));
    EXPECT_EQ(s.key, "");
    EXPECT_TRUE(s.chords.empty());
    EXPECT_EQ(s.meter, 4);
}

TEST(ChordsSave, ReadOnlyFolderFailsAndKeepsOldFile)
{
    if (::geteuid() == 0) GTEST_SKIP() << "root ignores folder permissions";
    tsup::TempDir d;
    std::string path = d / "ro/s.chords.toml";
    tsup::write_file(path, "old");
    ASSERT_EQ(::chmod((d / "ro").c_str(), 0555), 0);
    ChordSheet s;
    s.chords = {{0.0f, "C"}};
    EXPECT_FALSE(chords_save(path, s));
    EXPECT_FALSE(chords_save(d / "ro/new.chords.toml", s));
    ::chmod((d / "ro").c_str(), 0755);
    EXPECT_EQ(tsup::read_file(path), "old");
    EXPECT_FALSE(tsup::exists(d / "ro/new.chords.toml"));
}

TEST(ChordsSave, UnwritableDestinationFailsAndKeepsOldFile)
{
    tsup::TempDir d;
    // A folder standing where the file should go cannot be replaced.
    tsup::write_file(d / "s.chords.toml/inside", "old");
    ChordSheet s;
    s.chords = {{0.0f, "C"}};
    EXPECT_FALSE(chords_save(d / "s.chords.toml", s));
    EXPECT_EQ(tsup::read_file(d / "s.chords.toml/inside"), "old");
    // A plain file standing where the folder should be.
    tsup::write_file(d / "file", "x");
    EXPECT_FALSE(chords_save(d / "file/s.chords.toml", s));
    EXPECT_EQ(tsup::read_file(d / "file"), "x");
}

}  // namespace
