#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include "core/library.h"
#include "core/state.h"
#include "support/support.h"

using tsup::TempDir;

namespace {

Library lib_from(const std::string& text)
{
    Library lib;
    lib.load_catalog_text(text);
    return lib;
}

Track mk(const std::string& path, const std::string& artist, const std::string& album, int num,
         const std::string& title)
{
    Track t;
    t.path = path;
    t.artist = artist;
    t.album = album;
    t.track_num = num;
    t.title = title;
    return t;
}

std::vector<std::string> titles(const Library& lib)
{
    std::vector<std::string> out;
    for (const Track& t : lib.tracks) out.push_back(t.title);
    return out;
}

}  // namespace

TEST(CatalogRead, HeadersKeysAndValues)
{
    Library lib = lib_from(
        "# Lumora Music library catalog\n\nscan_root = \"/m\"\ntitle = \"ignored\"\n\n"
        "  [[track]]  # note\npath = \"/a.mp3\"\npath = \"/b.mp3\"\ntitle = \"\"\"T\"\"\"\n"
        "fav = True\nduration = 12abc\nplays = x\ntrack_num = -3\nyear = 1999\n"
        "[[track]]\npath = \"/c.mp3\"\nfav = true\nname = \"pl\"\n");
    ASSERT_EQ(lib.tracks.size(), 2u);
    EXPECT_EQ(lib.scan_root, "/m");
    const Track& a = lib.tracks[0];
    EXPECT_EQ(a.path, "/b.mp3") << "a key given twice keeps the last value";
    EXPECT_EQ(a.title, "T") << "quotes are trimmed repeatedly";
    EXPECT_FALSE(a.fav) << "only the exact word true counts";
    EXPECT_EQ(a.duration, 12u);
    EXPECT_EQ(a.plays, 0u);
    EXPECT_EQ(a.track_num, -3);
    EXPECT_EQ(a.year, 1999);
    EXPECT_TRUE(lib.tracks[1].fav);
}

TEST(CatalogRead, CutShortAndEmpty)
{
    Library lib = lib_from("[[track]]\npath = \"/a.mp3\"\ntitle = \"A\"\n[[track]]\npath = \"/b.mp3\"\nti");
    ASSERT_EQ(lib.tracks.size(), 2u);
    EXPECT_EQ(lib.tracks[1].path, "/b.mp3");
    EXPECT_EQ(lib.tracks[1].title, "");

    Library empty;
    EXPECT_FALSE(empty.load_catalog_text(""));
    EXPECT_TRUE(empty.tracks.empty());
}

TEST(CatalogFile, MissingFileLeavesLibraryUntouched)
{
    TempDir d;
    Library lib;
    lib.catalog_path = d / "none.toml";
    lib.tracks.push_back(mk("/x.mp3", "", "", 0, "x"));
    EXPECT_FALSE(lib.load_catalog());
    EXPECT_EQ(lib.tracks.size(), 1u);
}

TEST(CatalogFile, SaveWritesExactFormatAndRoundTrips)
{
    TempDir d;
    Library lib;
    lib.catalog_path = d / "lib.toml";
    lib.scan_root = "/music";
    Track t = mk("/music/a \"q\".mp3", "Art", "Alb", 7, "Title");
    t.genre = "Rock";
    t.duration = 215;
    t.plays = 3;
    t.fav = true;
    t.year = 2001;
    lib.tracks.push_back(t);
    Playlist p;
    p.name = "Car";
    p.paths = {"/music/a \"q\".mp3", "/b.mp3"};
    lib.playlists.push_back(p);
    lib.playlists.push_back(Playlist{"Empty", {}});
    ASSERT_TRUE(lib.save_catalog());
    std::string text = tsup::read_file(lib.catalog_path);
    EXPECT_EQ(text.substr(0, text.find("[[playlist]]")),
              "# Lumora Music library catalog\n\nscan_root = \"/music\"\n\n[[track]]\n"
              "path = \"/music/a \"q\".mp3\"\ntitle = \"Title\"\nartist = \"Art\"\nalbum = \"Alb\"\n"
              "genre = \"Rock\"\nduration = 215\nplays = 3\nfav = true\ntrack_num = 7\nyear = 2001\n\n");
    EXPECT_NE(text.find("[[playlist]]\nname = \"Empty\"\npaths = []\n\n"), std::string::npos);

    Library back;
    back.catalog_path = lib.catalog_path;
    ASSERT_TRUE(back.load_catalog());
    ASSERT_EQ(back.tracks.size(), 1u);
    EXPECT_EQ(back.tracks[0].path, t.path);
    EXPECT_EQ(back.tracks[0].fav, true);
    EXPECT_EQ(back.tracks[0].duration, 215u);
    ASSERT_EQ(back.playlists.size(), 2u);
    EXPECT_EQ(back.playlists[0].paths, p.paths) << "a quote inside a path survives";
    EXPECT_TRUE(back.playlists[1].paths.empty());
}

TEST(CatalogFile, LineBreaksInTagsKeepTheFileReadable)
{
    Library lib;
    Track t = mk("/a.mp3", "Two\nLines", "", 0, "x\r\ny");
    lib.tracks.push_back(t);
    lib.tracks.push_back(mk("/b.mp3", "B", "", 0, "b"));
    Library back = lib_from(lib.catalog_text());
    ASSERT_EQ(back.tracks.size(), 2u);
    EXPECT_EQ(back.tracks[0].artist, "Two Lines");
    EXPECT_EQ(back.tracks[0].title, "x\r y");
    EXPECT_EQ(back.tracks[1].path, "/b.mp3");
}

TEST(Playlists, ReadRules)
{
    Library lib = lib_from(
        "[[track]]\npath = \"/a.mp3\"\n"
        "[[playlist]]\nname = \"Two\"\npaths = [\"/a.mp3\", \"/b.mp3\"]\n\n"
        "[[playlist]]\nname = \"Car\"\n\n"
        "[[playlist]]\nname = \"\"\npaths = [\"/x.mp3\"]\n\n"
        "[[playlist]]\nname = \"None\"\npaths = []\n");
    ASSERT_EQ(lib.playlists.size(), 3u) << "a playlist with an empty name is dropped";
    EXPECT_EQ(lib.playlists[0].paths, (std::vector<std::string>{"/a.mp3", "/b.mp3"}));
    EXPECT_EQ(lib.playlists[1].name, "Car");
    EXPECT_TRUE(lib.playlists[1].paths.empty());
    EXPECT_TRUE(lib.playlists[2].paths.empty());
}

TEST(Playlists, AddAndRemove)
{
    Playlist p{"P", {"/a", "/b", "/a"}};
    EXPECT_FALSE(p.add_track("/b"));
    EXPECT_TRUE(p.add_track("/c"));
    EXPECT_TRUE(p.remove_track("/a"));
    EXPECT_EQ(p.paths, (std::vector<std::string>{"/b", "/a", "/c"})) << "only the first occurrence goes";
    EXPECT_FALSE(p.remove_track("/zz"));
}

TEST(Playlists, OddNamesRoundTrip)
{
    Library lib;
    for (std::string name : {"a\"b", "ends\"", "back\\slash", "\"quoted\""})
        lib.playlists.push_back(Playlist{name, {"/p\\q.mp3"}});
    Library back = lib_from(lib.catalog_text());
    ASSERT_EQ(back.playlists.size(), lib.playlists.size());
    for (size_t i = 0; i < lib.playlists.size(); ++i) {
        EXPECT_EQ(back.playlists[i].name, lib.playlists[i].name);
        EXPECT_EQ(back.playlists[i].paths, lib.playlists[i].paths);
    }
}

TEST(Orderings, NaturalTitleArtistAlbum)
{
    Library lib;
    lib.tracks = {mk("/1", "B", "X", 2, "b2"), mk("/2", "A", "Z", 1, "a1"), mk("/3", "B", "X", 0, "b0"),
                  mk("/4", "B", "X", 1, "b1"), mk("/5", "A", "Y", 9, "a9"), mk("/6", "a", "Y", 0, "lower")};
    lib.sort_natural();
    EXPECT_EQ(titles(lib), (std::vector<std::string>{"a9", "a1", "b0", "b1", "b2", "lower"}));
    lib.sort_by_title();
    EXPECT_EQ(lib.tracks.front().title, "a1");
    lib.sort_by_album();
    EXPECT_EQ(lib.tracks.front().album, "X");
    EXPECT_EQ(lib.tracks.back().album, "Z");
    lib.sort_by_artist();
    EXPECT_EQ(lib.tracks.back().artist, "a") << "byte order: upper case first";
}

TEST(Orderings, RecentNewestFirstTiesByPathDescending)
{
    TempDir d;
    auto touch = [&](const std::string& name, time_t t) {
        tsup::write_file(d / name, "x");
        struct utimbuf u {t, t};
        ::utime((d / name).c_str(), &u);
    };
    touch("old.mp3", 1000);
    touch("new.mp3", 3000);
    touch("tie_a.mp3", 2000);
    touch("tie_b.mp3", 2000);
    Library lib;
    for (auto n : {"old.mp3", "tie_a.mp3", "missing.mp3", "new.mp3", "tie_b.mp3"}) lib.tracks.push_back(mk(d / n, "", "", 0, n));
    lib.sort_by_recent();
    EXPECT_EQ(titles(lib), (std::vector<std::string>{"new.mp3", "tie_b.mp3", "tie_a.mp3", "old.mp3", "missing.mp3"}));
}
