#include <gtest/gtest.h>

#include "chords/chord_sheet.h"
#include "core/library.h"
#include "support/support.h"

using tsup::RunResult;
using tsup::TempDir;

namespace {

Track song(const std::string& path, const std::string& title, const std::string& artist)
{
    Track t;
    t.path = path;
    t.title = title;
    t.artist = artist;
    return t;
}

// A home with a catalog of songs under music/ (files created on demand).
struct Home {
    TempDir dir;
    std::string music = dir / "music";

    void catalog(const std::vector<Track>& tracks) const
    {
        Library lib;
        lib.catalog_path = dir / ".lumoramusic/library.toml";
        lib.tracks = tracks;
        ASSERT_TRUE(lib.save_catalog());
    }
    std::string file(const std::string& name, const std::string& bytes = "x") const
    {
        tsup::write_file(music + "/" + name, bytes);
        return music + "/" + name;
    }
    RunResult cli(const std::vector<std::string>& args) const
    {
        tsup::RunOptions o;
        o.env["XDG_DATA_HOME"] = dir / "xdg";
        return tsup::run_cli(dir.path(), args, o);
    }
};

std::string empty_listing(const std::string& title, const std::string& sheet)
{
    return "[[song]]\ntitle = \"" + title + "\"\nfile = \"" + sheet +
           "\"\nkey = \"\"\nbpm = 0.00\nmeter = 4\ndownbeat = -1.000\nsections = []\nchords = []\n\n";
}

TEST(CmdChords, ListsWithoutWritingAndRefusesNoMatch)
{
    Home h;
    std::string s = h.file("Song.mp3");
    RunResult r = h.cli({"chords", s});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, empty_listing("Song", h.music + "/Song.chords.toml"));
    EXPECT_FALSE(tsup::exists(h.music + "/Song.chords.toml"));

    r = h.cli({"chords", "nothing-like-this"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "no matching songs\n");
    EXPECT_EQ(r.out, "");
}

TEST(CmdChords, EditsSaveAndListExactly)
{
    Home h;
    std::string s = h.file("Tune.mp3");
    RunResult r = h.cli({"chords", s, "--add", "1:05=Am", "--add", "2.5=G\"x", "--section",
                         "0=Intro", "--section", "30=Verse", "--key", "Em", "--bpm", "96",
                         "--meter", "40", "--downbeat", "0:00.5"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "[[song]]\ntitle = \"Tune\"\nfile = \"" + h.music +
                  "/Tune.chords.toml\"\nkey = \"Em\"\nbpm = 96.00\nmeter = 16\ndownbeat = 0.500\n"
                  "sections = [{t = 0.000, name = \"Intro\"}, {t = 30.000, name = \"Verse\"}]\n"
                  "chords = [\n  {t = 2.500, name = \"G\\\"x\"},\n  {t = 65.000, name = \"Am\"}\n]\n\n");
    ChordSheet sheet;
    ASSERT_TRUE(chords_load(h.music + "/Tune.chords.toml", sheet));
    EXPECT_EQ(sheet.chords[0].name, "G\"x");
    EXPECT_EQ(sheet.meter, 16);

    // Clamps and clears, applied in order.
    r = h.cli({"chords", s, "--meter", "0", "--bpm", "-5", "--key", "-", "--downbeat", "-"});
    ASSERT_EQ(r.status, 0) << r.err;
    chords_load(h.music + "/Tune.chords.toml", sheet);
    EXPECT_EQ(sheet.meter, 1);
    EXPECT_FLOAT_EQ(sheet.bpm, 0.0f);
    EXPECT_EQ(sheet.key, "");
    EXPECT_FLOAT_EQ(sheet.downbeat, -1.0f);
    EXPECT_EQ(sheet.chords.size(), 2u);

    // A line break in a name would split the file's entry; it becomes a space.
    r = h.cli({"chords", s, "--add", "70=A\nB", "--key", "E\rm"});
    ASSERT_EQ(r.status, 0) << r.err;
    chords_load(h.music + "/Tune.chords.toml", sheet);
    ASSERT_EQ(sheet.chords.size(), 3u);
    EXPECT_EQ(sheet.chords[2].name, "A B");
    EXPECT_EQ(sheet.key, "E m");

    r = h.cli({"chords", s, "--clear"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("sections = [{t = 0.000"), std::string::npos);
    EXPECT_TRUE(r.out.ends_with("chords = []\n\n"));
}

TEST(CmdChords, DeleteNearestWithinQuarterSecond)
{
    Home h;
    std::string s = h.file("D.mp3");
    ASSERT_EQ(h.cli({"chords", s, "--add", "9.8=A", "--add", "10.3=B", "--add", "20=C"}).status, 0);
    RunResult r = h.cli({"chords", s, "--del", "10"});
    ASSERT_EQ(r.status, 0) << r.err;
    ChordSheet sheet;
    chords_load(h.music + "/D.chords.toml", sheet);
    ASSERT_EQ(sheet.chords.size(), 2u);
    EXPECT_EQ(sheet.chords[0].name, "B");

    r = h.cli({"chords", s, "--del", "10"});  // nearest is now 0.3 s away
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "no chord near 10.00\n");
}

TEST(CmdChords, FailingFlagsPrintAndDiscardEveryEdit)
{
    Home h;
    std::string s = h.file("F.mp3");
    struct {
        std::vector<std::string> flags;
        const char* err;
    } cases[] = {
        {{"--add", "65"}, "--add wants T=NAME (e.g. 12.4=G)\n"},
        {{"--add", "65="}, "--add wants T=NAME (e.g. 12.4=G)\n"},
        {{"--key", "C", "--section", "5"}, "--section wants T=NAME (e.g. 12.4=G)\n"},
        {{"--key", "C", "--bpm"}, "--bpm needs a value\n"},
        {{"--key", "C", "--bogus", "1"}, "unknown flag --bogus\n"},
        {{"--key", "C", "--del", "3"}, "no chord near 3.00\n"},
        {{"--import", h.music + "/none.cho"}, ""},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"chords", s};
        args.insert(args.end(), c.flags.begin(), c.flags.end());
        RunResult r = h.cli(args);
        EXPECT_EQ(r.status, 1) << c.flags[0];
        if (*c.err) {
            EXPECT_EQ(r.err, c.err);
        }
        EXPECT_EQ(r.out, "") << c.flags[0];
        EXPECT_FALSE(tsup::exists(h.music + "/F.chords.toml")) << c.flags[0];
    }
    RunResult r = h.cli({"chords", s, "--import", h.music + "/none.cho"});
    EXPECT_EQ(r.err, "can't read " + h.music + "/none.cho\n");
}

TEST(CmdChords, EditsNeedExactlyOneSongButArtistListsMany)
{
    Home h;
    std::string a = h.file("a.mp3"), b = h.file("b.mp3");
    h.catalog({song(a, "First Light", "The Band"), song(b, "Second Light", "the band")});
    RunResult r = h.cli({"chords", "light", "--key", "G"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "edit flags need exactly 1 song (2 matched)\n");
    r = h.cli({"chords", "--artist", "THE BAND"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, empty_listing("First Light", h.music + "/a.chords.toml") +
                         empty_listing("Second Light", h.music + "/b.chords.toml"));
    EXPECT_FALSE(tsup::exists(h.music + "/a.chords.toml"));
}

TEST(CmdChords, ImportAlignsChordProToSyncedLyrics)
{
    Home h;
    std::string s = h.file("Sung.mp3");
    std::string cho = h.file("sung.cho",
                             "{title: Sung}\n{key: Am}\n{tempo: 88}\n[Am]Hello there my [F]friend\n"
                             "[C]Nothing matches this\n[G]Goodbye now\n");
    RunResult r = h.cli({"chords", s, "--import", cho});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Sung has no synced lyrics; run `lyrics` first\n");

    h.file("Sung.lrc", "[00:10.00]Hello there my friend\n[00:20.00]Goodbye now\n");
    r = h.cli({"chords", s, "--key", "C", "--import", cho});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.starts_with("# imported 3 chords, 1 on unmatched lines dropped\n[[song]]\n"));
    ChordSheet sheet;
    ASSERT_TRUE(chords_load(h.music + "/Sung.chords.toml", sheet));
    EXPECT_EQ(sheet.key, "Am");  // the file's directive wins over the earlier flag
    EXPECT_FLOAT_EQ(sheet.bpm, 88.0f);
    ASSERT_EQ(sheet.chords.size(), 3u);
    EXPECT_FLOAT_EQ(sheet.chords[0].t, 10.0f);
    EXPECT_EQ(sheet.chords[2].name, "G");
    EXPECT_FLOAT_EQ(sheet.chords[2].t, 20.0f);
}

TEST(CmdChords, DetectWritesASheetAndReportsFailures)
{
    Home h;
    std::string s = h.music + "/Tone.mp3";
    tsup::make_tone(s, 3.0, 440);
    RunResult r = h.cli({"chords", s, "--detect"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.starts_with("# detected ")) << r.out;
    EXPECT_NE(r.out.find(" chords, key "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(" bpm\n[[song]]\ntitle = \"Tone\"\n"), std::string::npos) << r.out;
    ChordSheet sheet;
    EXPECT_TRUE(chords_load(h.music + "/Tone.chords.toml", sheet));

    std::string bad = h.file("Broken.mp3", std::string(3000, 'z'));
    r = h.cli({"chords", bad, "--detect"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "no chords detected in Broken\n");
    EXPECT_FALSE(tsup::exists(h.music + "/Broken.chords.toml"));
}

TEST(CmdChords, UnwritableSheetFails)
{
    Home h;
    std::string s = h.file("W.mp3");
    tsup::write_file(h.music + "/W.chords.toml/blocker", "");
    RunResult r = h.cli({"chords", s, "--key", "G"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "can't write " + h.music + "/W.chords.toml\n");
}

TEST(CmdChords, MissingDetectsOnlySongsWithoutSheetsInCatalogOrder)
{
    Home h;
    std::string a = h.music + "/a.mp3", c = h.music + "/c.mp3";
    tsup::make_tone(a, 3.0, 440);
    tsup::make_tone(c, 3.0, 262);
    std::string b = h.file("b.mp3", "already has chords");
    std::string bad = h.file("bad.mp3", std::string(3000, 'q'));
    h.file("b.chords.toml", "[[chord]]\nt = 0\nname = \"C\"\n");
    h.catalog({song(c, "Cee", ""), song(b, "Bee", ""), song(bad, "Bad", ""), song(a, "Ay", "")});
    RunResult r = h.cli({"chords", "--missing"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "no chords detected in Bad\n");
    size_t pc = r.out.find("title = \"Cee\""), pa = r.out.find("title = \"Ay\"");
    ASSERT_NE(pc, std::string::npos);
    ASSERT_NE(pa, std::string::npos);
    EXPECT_LT(pc, pa);
    EXPECT_EQ(r.out.find("Bee"), std::string::npos);
    EXPECT_TRUE(tsup::exists(h.music + "/a.chords.toml"));
    EXPECT_TRUE(tsup::exists(h.music + "/c.chords.toml"));
    EXPECT_FALSE(tsup::exists(h.music + "/bad.chords.toml"));

    // Only the undecodable song is left; a catalog with sheets for all is done.
    r = h.cli({"chords", "--missing"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    h.catalog({song(a, "Ay", ""), song(b, "Bee", "")});
    r = h.cli({"chords", "--missing"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "every song has chords\n");
}

}  // namespace
