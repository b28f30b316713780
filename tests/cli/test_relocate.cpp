// relocate: copies under another folder, repoints records, keeps the sources.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "cli/org.h"
#include "core/points.h"
#include "core/state.h"
#include "core/trash.h"
#include "support/standin_support.h"

namespace {

class Relocate : public ::testing::Test {
protected:
    tsup::TempDir home;
    std::string root = home / "music";
    std::string dest = home / "drive/Music";
    tsup::RunOptions opts;

    void SetUp() override
    {
        opts.env["LUMORA_MUSIC_APP_PROC"] = "no-such-player-xyz";
        std::vector<Track> tracks;
        for (const char* rel : {"A/B/one [1].mp3", "two.mp3"}) {
            Track t;
            t.path = root + "/" + rel;
            t.title = rel;
            tsup::write_file(t.path, std::string("bytes of ") + rel);
            tracks.push_back(t);
        }
        Track outside;
        outside.path = home / "other/out.mp3";
        tsup::write_file(outside.path, "outside");
        tracks.push_back(outside);
        tsup::write_file(root + "/A/B/one [1].lrc", "lyrics");
        tsup::write_catalog(home.path(), tracks, root, {{"P", {tracks[1].path}}});
        tsup::ScopedEnv env("HOME", home.path());
        IoStore pts;
        pts[tracks[0].path] = {2.0f, 9.0f};
        io_store_save(pts, io_store_file());
        TrashEntry e;
        e.track.path = root + "/C/gone.mp3";
        e.at = home / "t/gone.mp3";
        tsup::write_file(e.at, "x");
        state_write(trash_index_file(), trash_text({e}));
    }
};

TEST_F(Relocate, CopiesAndRepoints)
{
    tsup::RunResult r = tsup::run_cli(home.path(), {"relocate", "--to", dest + "//"}, opts);
    ASSERT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("copy   " + root + "/two.mp3\n    -> " + dest + "/two.mp3\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("record " + root + "/C/gone.mp3\n    -> " + dest + "/C/gone.mp3\n"), std::string::npos);
    EXPECT_NE(r.out.find("\n3 planned (dry run: add --apply)\n"), std::string::npos);
    EXPECT_FALSE(tsup::exists(dest));

    r = tsup::run_cli(home.path(), {"relocate", "--to", dest, "--apply"}, opts);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("copied 3; library now at " + dest + "\noriginals listed in " + home.path() +
                         "/.lumoramusic/organize/"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(tsup::read_file(dest + "/A/B/one [1].mp3"), "bytes of A/B/one [1].mp3");
    EXPECT_EQ(tsup::read_file(dest + "/A/B/one [1].lrc"), "lyrics");
    EXPECT_TRUE(tsup::exists(root + "/two.mp3")) << "sources stay";
    struct stat a {}, b {};
    ::stat((root + "/two.mp3").c_str(), &a);
    ::stat((dest + "/two.mp3").c_str(), &b);
    EXPECT_EQ(a.st_mtim.tv_sec, b.st_mtim.tv_sec);

    Library lib = tsup::read_catalog(home.path());
    EXPECT_EQ(lib.scan_root, dest);
    EXPECT_GE(lib.find_path(dest + "/two.mp3"), 0);
    EXPECT_GE(lib.find_path(home / "other/out.mp3"), 0) << "songs outside the root stay";
    EXPECT_EQ(lib.playlists.at(0).paths.at(0), dest + "/two.mp3");
    tsup::ScopedEnv env("HOME", home.path());
    EXPECT_EQ(io_store_load(io_store_file()).count(dest + "/A/B/one [1].mp3"), 1u);
    std::string t;
    state_read(trash_index_file(), t);
    EXPECT_EQ(trash_parse(t).at(0).track.path, dest + "/C/gone.mp3");
}

TEST_F(Relocate, FailedCopyRepointsNothingAndRerunFinishes)
{
    tsup::write_file(dest + "/A", "a file blocking the folder");
    tsup::write_file(dest + "/two.mp3", "short");  // same name, other size
    std::string before = tsup::read_file(home / ".lumoramusic/library.toml");
    tsup::RunResult r = tsup::run_cli(home.path(), {"relocate", "--to", dest, "--apply"}, opts);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("skip " + root + "/A/B/one [1].mp3: copy failed or size differs\n"), std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("copied 1 of 3 \xE2\x80\x94 library NOT repointed; fix and re-run\n"), std::string::npos);
    EXPECT_EQ(tsup::read_file(home / ".lumoramusic/library.toml"), before);
    EXPECT_EQ(tsup::read_file(dest + "/two.mp3"), "short") << "an existing file is never overwritten";

    std::remove((dest + "/A").c_str());
    std::remove((dest + "/two.mp3").c_str());
    r = tsup::run_cli(home.path(), {"relocate", "--to", dest, "--apply"}, opts);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(tsup::read_file(dest + "/two.mp3"), "bytes of two.mp3");
    EXPECT_EQ(tsup::read_catalog(home.path()).scan_root, dest);
}

TEST_F(Relocate, UsageAndRefusal)
{
    EXPECT_EQ(tsup::run_cli(home.path(), {"relocate"}, opts).status, 2);
    EXPECT_EQ(tsup::run_cli(home.path(), {"relocate", "--apply", "--to"}, opts).status, 2);
    std::string comm = tsup::read_file("/proc/self/comm");
    opts.env["LUMORA_MUSIC_APP_PROC"] = comm.substr(0, comm.find('\n'));
    tsup::RunResult r = tsup::run_cli(home.path(), {"relocate", "--to", dest, "--apply"}, opts);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Quit Lumora Music first (it would overwrite the catalog).\n");
    EXPECT_FALSE(tsup::exists(dest));
}

TEST_F(Relocate, InterruptedRunKeepsRecordsOnSourcesAndRelativeTargetIsMadeAbsolute)
{
    std::string before = tsup::read_file(home / ".lumoramusic/library.toml");
    opts.env["LUMORA_TEST_ORG_ABORT"] = "copy:1";
    opts.cwd = home.path();
    tsup::RunResult r = tsup::run_cli(home.path(), {"relocate", "--to", "drive/Music/", "--apply"}, opts);
    EXPECT_EQ(r.status, -1);
    EXPECT_EQ(tsup::read_file(home / ".lumoramusic/library.toml"), before);
    opts.env.erase("LUMORA_TEST_ORG_ABORT");
    r = tsup::run_cli(home.path(), {"relocate", "--to", "drive/Music/", "--apply"}, opts);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("copy   " + root + "/two.mp3\n    -> " + dest + "/two.mp3\n"), std::string::npos) << r.out;
    EXPECT_EQ(tsup::read_catalog(home.path()).scan_root, dest);
}

TEST(RelocCopy, InterruptedCopyLeavesNoCutFile)
{
    tsup::TempDir tmp;
    tsup::write_file(tmp / "src.mp3", std::string(300000, 'a'));
    tsup::write_file(tmp / "out/.dst.mp3.lumora-part", "half");  // left by a killed run
    EXPECT_TRUE(reloc_copy_one(tmp / "src.mp3", tmp / "out/dst.mp3"));
    EXPECT_EQ(tsup::read_file(tmp / "out/dst.mp3").size(), 300000u);
    EXPECT_FALSE(tsup::exists(tmp / "out/.dst.mp3.lumora-part"));
    EXPECT_FALSE(reloc_copy_one(tmp / "missing.mp3", tmp / "out/m.mp3"));
    EXPECT_FALSE(tsup::exists(tmp / "out/m.mp3"));
}

}  // namespace
