// download with a spotdl stand-in on PATH.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <utime.h>

#include "cli/download.h"
#include "support/standin_support.h"

namespace {

class Download : public ::testing::Test {
protected:
    tsup::TempDir home;
    std::string root = home / "music";
    tsup::FakeBin bin{home / "bin"};
    tsup::RunOptions opts;

    void SetUp() override
    {
        tsup::make_tone(home / "tone.mp3", 1.0);
        bin.add("spotdl", tsup::fake_spotdl_script());
        opts.env = {{"PATH", bin.path_env()},
                    {"FAKE_SPOTDL_SRC", home / "tone.mp3"},
                    {"FAKE_SPOTDL_NAME", "Art 'x'|Alb $(y)|Song \"q\""},
                    {"FAKE_SPOTDL_LOG", home / "spotdl.log"}};
        tsup::write_file(root + "/old.mp3", "old");
        struct utimbuf old_time {1000000000, 1000000000};
        ::utime((root + "/old.mp3").c_str(), &old_time);
        tsup::write_catalog(home.path(), {}, root);
    }
};

TEST_F(Download, AddsWhatArrived)
{
    tsup::RunResult r = tsup::run_cli(home.path(), {"download", "--weird", "song;", "$(name)"}, opts);
    ASSERT_EQ(r.status, 0) << r.err;
    std::string got = root + "/Art 'x'/Alb $(y)/Art 'x' - Song \"q\".mp3";
    EXPECT_EQ(r.out, "added " + got + "\n");
    EXPECT_EQ(tsup::read_file(home / "spotdl.log"),
              "download\n--weird song; $(name)\n--output\n" + root +
                  "/{artist}/{album}/{artists} - {title}.{output-ext}\n--format\nmp3\n--bitrate\n192k\n");
    Library lib = tsup::read_catalog(home.path());
    ASSERT_EQ(lib.tracks.size(), 1u);
    EXPECT_EQ(lib.tracks[0].path, got);
}

TEST_F(Download, NothingNewOrNoRootOrNoQuery)
{
    opts.env.erase("FAKE_SPOTDL_SRC");  // the stand-in finds nothing
    tsup::RunResult r = tsup::run_cli(home.path(), {"download", "x"}, opts);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "nothing new downloaded (not found, or already in library)\n");

    opts.env["PATH"] = "/usr/bin:/bin";  // no downloader at all: the same answer
    EXPECT_EQ(tsup::run_cli(home.path(), {"download", "x"}, opts).status, 1);

    EXPECT_EQ(tsup::run_cli(home.path(), {"download"}, opts).status, 2);
    tsup::write_catalog(home.path(), {}, "");
    r = tsup::run_cli(home.path(), {"download", "x"}, opts);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "library has no scan_root\n");
}

TEST(DownloadHelpers, PerUserInstallJoinsPath)
{
    tsup::TempDir home;
    tsup::FakeBin a(home / "Library");
    tsup::FakeBin b(home / "Library/Python");
    tsup::write_file(home / "Library/Python/3.11/bin/spotdl", "");
    tsup::write_file(home / "Library/Python/3.9/bin/other", "");
    tsup::ScopedEnv h("HOME", home.path());
    tsup::ScopedEnv p("PATH", std::string("/usr/bin"));
    cli_spotdl_path();
    EXPECT_STREQ(std::getenv("PATH"), (home / "Library/Python/3.11/bin:/usr/bin").c_str());
    tsup::write_file(home / ".local/bin/spotdl", "");
    ::setenv("PATH", "/usr/bin", 1);
    cli_spotdl_path();
    EXPECT_STREQ(std::getenv("PATH"), (home / ".local/bin:" + home / "Library/Python/3.11/bin:/usr/bin").c_str());

    tsup::write_file(home / "r/a/new.mp3", "x");
    tsup::write_file(home / "r/old.flac", "x");
    tsup::write_file(home / "r/notes.txt", "x");
    struct utimbuf old_time {1000, 1000};
    ::utime((home / "r/old.flac").c_str(), &old_time);
    EXPECT_EQ(cli_new_audio(home / "r", 5000), std::vector<std::string>{home / "r/a/new.mp3"});
}

}  // namespace
