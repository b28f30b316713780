#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <regex>

#include "core/file_names.h"
#include "core/library.h"
#include "core/system_trash.h"
#include "core/trash.h"
#include "support/points_support.h"

using tsup::StateHome;
namespace fs = std::filesystem;

namespace {

Track song(const std::string& path, const std::string& title)
{
    Track t;
    t.path = path;
    t.title = title;
    t.artist = "Art";
    t.duration = 200;
    t.plays = 3;
    t.fav = true;
    t.year = 1999;
    return t;
}

// A home with a catalog of two songs in a music folder and two playlists.
struct TrashHome : StateHome {
    Library lib;
    TrashState trash;
    std::string a = dir / "Music/x/a.mp3", b = dir / "Music/y/a.mp3";
    TrashHome()
    {
        tsup::write_file(a, "song a");
        tsup::write_file(b, "song b");
        lib.catalog_path = state("library.toml");
        lib.tracks = {song(a, "A \"one\""), song(b, "B")};
        lib.playlists = {{"Gym", {b, a}}, {"Car", {a}}, {"Other", {b}}};
        lib.save_catalog();
        trash_load(trash);
    }
};

TEST(TrashFile, RoundTripAndReaderRules)
{
    TrashEntry e;
    e.track = song("/m/a \"q\".mp3", "Line\nbreak");
    e.at = "/t/1-a.mp3";
    e.playlists = {"Gym", "Car \"2\""};
    e.when = 1700000000;
    std::string text = trash_text({e});
    EXPECT_NE(text.find("# Lumora Music — Trash bin (deleted songs; Restore puts them back)\n\n[[trashed]]\n"
                        "from = \"/m/a \\\"q\\\".mp3\"\nat = \"/t/1-a.mp3\"\ntitle = \"Line break\"\n"
                        "artist = \"Art\"\nalbum = \"\"\ngenre = \"\"\nduration = 200\nplays = 3\nfav = true\n"
                        "track_num = 0\nyear = 1999\nwhen = 1700000000\nplaylists = [\"Gym\", \"Car \\\"2\\\"\"]\n\n"),
              std::string::npos)
        << text;
    std::vector<TrashEntry> back = trash_parse(text);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].track.path, e.track.path);
    EXPECT_EQ(back[0].playlists, e.playlists);
    EXPECT_EQ(back[0].when, e.when);
    EXPECT_TRUE(back[0].track.fav);

    std::vector<TrashEntry> odd = trash_parse(
        "from = \"/before/header\"\n[[trashed]]\nfav = yes true\nwhen = soon\nduration = -5\n"
        "year = 99999999999\nbogus = 1\nat = \"/t\"\n[[trashed]]\nfav = false\n");
    ASSERT_EQ(odd.size(), 2u);
    EXPECT_EQ(odd[0].track.path, "");
    EXPECT_TRUE(odd[0].track.fav);
    EXPECT_EQ(odd[0].when, 0);
    EXPECT_EQ(odd[0].track.duration, 0u);
    EXPECT_EQ(odd[0].track.year, INT32_MAX);
    EXPECT_FALSE(odd[1].track.fav);
}

TEST(TrashFile, LoadDropsEntriesWhoseFileIsGone)
{
    StateHome h;
    tsup::write_file(h.dir / "kept.mp3", "x");
    tsup::write_file(h.state("trash.toml"), "[[trashed]]\nfrom = \"/m/1\"\nat = \"" + (h.dir / "kept.mp3") +
                                                "\"\n[[trashed]]\nfrom = \"/m/2\"\nat = \"" + (h.dir / "gone.mp3") +
                                                "\"\n[[trashed]]\nfrom = \"/m/3\"\n");
    TrashState t;
    trash_load(t);
    EXPECT_EQ(t.path, h.state("trash.toml"));
    ASSERT_EQ(t.entries.size(), 1u);
    EXPECT_EQ(t.entries[0].track.path, "/m/1");
    // Loading never writes; the file is corrected at the next save.
    EXPECT_NE(tsup::read_file(t.path).find("/m/2"), std::string::npos);
}

TEST(TrashStore, TargetsAreUniquePerPathAndOccupant)
{
    TrashHome h;
    std::string ta = trash_target(h.a), tb = trash_target(h.b);
    EXPECT_EQ(ta, h.state("trash/" + io_hash_hex(h.a) + "-a.mp3"));
    EXPECT_NE(ta, tb);
    tsup::write_file(ta, "earlier copy");
    EXPECT_EQ(trash_target(h.a), h.state("trash/" + io_hash_hex(h.a) + "-a 2.mp3"));
}

TEST(TrashStore, DeleteAndRestoreBringsBackRecordAndPlaylists)
{
    TrashHome h;
    ASSERT_TRUE(trash_song(h.trash, h.lib, h.a));
    EXPECT_FALSE(tsup::exists(h.a));
    ASSERT_EQ(h.trash.entries.size(), 1u);
    const TrashEntry& e = h.trash.entries[0];
    EXPECT_EQ(tsup::read_file(e.at), "song a");
    EXPECT_EQ(e.playlists, (std::vector<std::string>{"Gym", "Car"}));
    EXPECT_EQ(h.lib.find_path(h.a), -1);

    // What is on disk now is what a fresh player would load.
    TrashState t;
    trash_load(t);
    Library lib;
    lib.catalog_path = h.lib.catalog_path;
    lib.load_catalog();
    ASSERT_EQ(t.entries.size(), 1u);
    EXPECT_EQ(lib.playlists[0].paths, std::vector<std::string>{h.b});

    lib.playlists.erase(lib.playlists.begin() + 1);  // "Car" is gone meanwhile
    ASSERT_TRUE(trash_restore(t, lib, 0));
    EXPECT_EQ(tsup::read_file(h.a), "song a");
    EXPECT_EQ(t.status, "Restored \"A \"one\"\"");
    EXPECT_TRUE(t.entries.empty());
    ASSERT_EQ(lib.tracks.size(), 2u);
    EXPECT_EQ(lib.tracks.back().path, h.a);
    EXPECT_EQ(lib.tracks.back().plays, 3u);
    EXPECT_EQ(lib.playlists[0].paths, (std::vector<std::string>{h.b, h.a}));  // at the end
    EXPECT_EQ(lib.playlists.size(), 2u);                                      // not recreated

    Library saved;
    saved.catalog_path = lib.catalog_path;
    saved.load_catalog();
    EXPECT_EQ(saved.find_path(h.a), 1);
    TrashState reloaded;
    trash_load(reloaded);
    EXPECT_TRUE(reloaded.entries.empty());
}

TEST(TrashStore, RestoreBesideANewOccupant)
{
    TrashHome h;
    ASSERT_TRUE(trash_song(h.trash, h.lib, h.a));
    tsup::write_file(h.a, "new file");
    ASSERT_TRUE(trash_restore(h.trash, h.lib, 0));
    EXPECT_EQ(tsup::read_file(h.a), "new file");
    std::string moved = h.dir / "Music/x/a 2.mp3";
    EXPECT_EQ(tsup::read_file(moved), "song a");
    EXPECT_EQ(h.lib.tracks.back().path, moved);
    EXPECT_FALSE(trash_restore(h.trash, h.lib, 0));  // index outside the list
}

TEST(TrashStore, FailedRestoreKeepsEntry)
{
    TrashHome h;
    ASSERT_TRUE(trash_song(h.trash, h.lib, h.a));
    std::remove(h.trash.entries[0].at.c_str());
    EXPECT_FALSE(trash_restore(h.trash, h.lib, 0));
    EXPECT_EQ(h.trash.status.rfind("Couldn't restore: ", 0), 0u) << h.trash.status;
    EXPECT_EQ(h.trash.entries.size(), 1u);
}

TEST(TrashStore, MissingFileLeavesCatalogWithoutEntry)
{
    TrashHome h;
    std::remove(h.b.c_str());
    ASSERT_TRUE(trash_song(h.trash, h.lib, h.b));
    EXPECT_EQ(h.trash.status, "Removed missing song");
    EXPECT_TRUE(h.trash.entries.empty());
    EXPECT_EQ(h.lib.find_path(h.b), -1);
}

TEST(TrashStore, RestoreAllCountsSuccesses)
{
    TrashHome h;
    ASSERT_TRUE(trash_song(h.trash, h.lib, h.a));
    ASSERT_TRUE(trash_song(h.trash, h.lib, h.b));
    std::remove(h.trash.entries[0].at.c_str());
    EXPECT_EQ(trash_restore_all(h.trash, h.lib), 1);
    EXPECT_EQ(h.trash.status, "Restored 1 of 2");
    EXPECT_TRUE(tsup::exists(h.b));
}

TEST(SystemTrash, HomeTrashRecordsOriginalPath)
{
    StateHome h;
    std::string f = h.dir / "My Song #1.mp3";
    tsup::write_file(f, "one");
    ASSERT_TRUE(io_trash_file(f));
    tsup::write_file(f, "two");
    ASSERT_TRUE(io_trash_file(f));
    EXPECT_FALSE(tsup::exists(f));
    std::string trash = h.dir / ".local/share/Trash";
    EXPECT_EQ(tsup::read_file(trash + "/files/My Song #1.mp3"), "one");
    EXPECT_EQ(tsup::read_file(trash + "/files/My Song #1 2.mp3"), "two");
    std::string info = tsup::read_file(trash + "/info/My Song #1.mp3.trashinfo");
    char real[PATH_MAX];
    ASSERT_TRUE(::realpath(h.dir.path().c_str(), real));
    std::string enc = std::regex_replace(std::string(real), std::regex(" "), "%20");
    EXPECT_TRUE(std::regex_match(info, std::regex("\\[Trash Info\\]\nPath=" + enc +
                                                  "/My%20Song%20%231\\.mp3\nDeletionDate=\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\n")))
        << info;
    EXPECT_FALSE(io_trash_file(f));  // nothing there any more
}

TEST(SystemTrash, ToSystemAndEmptyTakeSavedOriginalsAlong)
{
    TrashHome h;
    ASSERT_TRUE(trash_song(h.trash, h.lib, h.a));
    ASSERT_TRUE(trash_song(h.trash, h.lib, h.b));
    std::string orig = h.state("originals/1-a.mp3");
    tsup::write_file(orig, "untrimmed");
    IoOriginals originals{{h.a, orig}};
    std::string index = h.state("originals.toml");

    ASSERT_TRUE(trash_to_system(h.trash, 0, originals, index));
    EXPECT_EQ(h.trash.status, "Moved \"A \"one\"\" to Trash");
    EXPECT_FALSE(tsup::exists(orig));
    EXPECT_TRUE(originals.empty());
    EXPECT_TRUE(tsup::exists(h.dir / ".local/share/Trash/files/1-a.mp3"));
    ASSERT_EQ(h.trash.entries.size(), 1u);
    EXPECT_FALSE(trash_to_system(h.trash, 5, originals, index));

    // One of three cannot be moved: it stays listed.
    tsup::write_file(h.a, "again");
    h.lib.tracks.push_back(song(h.a, "again"));
    ASSERT_TRUE(trash_song(h.trash, h.lib, h.a));
    TrashEntry ghost;
    ghost.track.path = "/m/ghost.mp3";
    ghost.at = h.dir / "nowhere.mp3";
    h.trash.entries.push_back(ghost);
    trash_empty(h.trash, originals, index);
    EXPECT_EQ(h.trash.status, "1 couldn't be moved");
    ASSERT_EQ(h.trash.entries.size(), 1u);
    EXPECT_EQ(h.trash.entries[0].track.path, "/m/ghost.mp3");

    h.trash.entries.clear();
    trash_empty(h.trash, originals, index);
    EXPECT_EQ(h.trash.status, "Trash emptied (files are in Trash)");
}

// Files on another volume stay on it: the app trash and the system Trash
// both live at that volume's mount point.
TEST(SystemTrash, OtherVolumeUsesItsOwnTrashFolders)
{
    StateHome h;
    struct stat shm {}, tmp {};
    if (::stat("/dev/shm", &shm) != 0 || ::stat(h.dir.path().c_str(), &tmp) != 0 || shm.st_dev == tmp.st_dev ||
        ::access("/dev/shm", W_OK) != 0)
        GTEST_SKIP() << "no second writable volume";
    std::string mp = sys_mount_point("/dev/shm");
    ASSERT_FALSE(mp.empty());
    fs::path own = fs::path(mp) / ("lumora-test-" + std::to_string(::getpid()));
    fs::create_directories(own);
    std::string f = (own / "song.mp3").string();
    tsup::write_file(f, "x");
    EXPECT_EQ(sys_mount_point(f), mp);
    EXPECT_EQ(trash_dir_for(f), mp + "/.lumoramusic-trash");
    EXPECT_EQ(trash_dir_for(h.dir / "nothing-here.mp3"), h.state("trash"));

    ASSERT_TRUE(io_trash_file(f));
    std::string uid = std::to_string(::getuid());
    std::string name = "song.mp3";
    std::string trashed = mp + "/.Trash-" + uid + "/files/" + name;
    EXPECT_TRUE(tsup::exists(trashed));
    std::string info = tsup::read_file(mp + "/.Trash-" + uid + "/info/" + name + ".trashinfo");
    EXPECT_NE(info.find("Path=" + own.filename().string() + "/song.mp3\n"), std::string::npos) << info;
    std::remove(trashed.c_str());
    std::remove((mp + "/.Trash-" + uid + "/info/" + name + ".trashinfo").c_str());
    std::error_code ec;
    fs::remove_all(own, ec);
    // Shared folders go only when nothing else is in them.
    std::string sys = mp + "/.Trash-" + uid;
    for (const std::string& d : {sys + "/files", sys + "/info", sys, mp + "/.lumoramusic-trash"})
        ::rmdir(d.c_str());
}

}  // namespace
