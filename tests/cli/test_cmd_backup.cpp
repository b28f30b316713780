#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <regex>

#include "support/support.h"

extern char** environ;

using tsup::RunResult;
using tsup::TempDir;

namespace {

struct Home {
    TempDir dir;
    std::string state(const std::string& f) const { return dir / (".lumoramusic/" + f); }
    RunResult cli(const std::vector<std::string>& args, tsup::RunOptions o = {}) const
    {
        // A player may really run on this machine; look for a name nobody has.
        if (!o.env.count("LUMORA_MUSIC_APP_PROC")) o.env["LUMORA_MUSIC_APP_PROC"] = "lm-not-running";
        return tsup::run_cli(dir.path(), args, o);
    }
    std::string backup(const std::vector<std::string>& label) const
    {
        std::vector<std::string> args{"backup"};
        args.insert(args.end(), label.begin(), label.end());
        RunResult r = cli(args);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out.rfind("backup ", 0), 0u);
        return r.out.substr(7, r.out.size() - 8);
    }
};

TEST(CliBackup, LabelsAndListing)
{
    Home h;
    RunResult r = h.cli({"backups"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "no backups\n");

    tsup::write_file(h.state("io_points.toml"), "[[song]]\npath = \"/a\"\nin = 1\n\n[[song]]\npath = \"/b\"\nin = 2\n\n");
    std::string manual = h.backup({});
    std::string gig = h.backup({"before", "gig"});
    EXPECT_TRUE(std::regex_match(manual, std::regex(R"(\d{4}/\d\d/\d\d/\d{6}(-\d+)?-manual)"))) << manual;
    EXPECT_TRUE(std::regex_match(gig, std::regex(R"(\d{4}/\d\d/\d\d/\d{6}(-\d+)?-before-gig)"))) << gig;

    r = h.cli({"backups"});
    EXPECT_EQ(r.status, 0);
    std::regex row(R"(([^ ]+) +  (\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)    2 songs w/ points  (.*))");
    std::vector<std::string> lines;
    for (size_t a = 0, b; (b = r.out.find('\n', a)) != std::string::npos; a = b + 1) lines.push_back(r.out.substr(a, b - a));
    ASSERT_EQ(lines.size(), 2u) << r.out;
    std::smatch m;
    ASSERT_TRUE(std::regex_match(lines[0], m, row)) << lines[0];
    EXPECT_EQ(m[1], std::max(manual, gig));
    EXPECT_EQ(lines[0].substr(40, 4), "  " + m[2].str().substr(0, 2));  // name column is 40 wide
    ASSERT_TRUE(std::regex_match(lines[1], m, row)) << lines[1];
    EXPECT_EQ(m[1], std::min(manual, gig));

    // A state folder that cannot be written into: the backup fails.
    std::filesystem::remove_all(h.dir / ".lumoramusic/backups");
    tsup::write_file(h.state("backups"), "a file in the way");
    r = h.cli({"backup"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "backup failed\n");
}

TEST(CliBackup, RestoreCommand)
{
    Home h;
    tsup::write_file(h.state("io_points.toml"), "[[song]]\npath = \"/a\"\nin = 1\n\n");
    tsup::write_file(h.state("library.toml"), "old catalog\n");
    std::string id = h.backup({"x"});
    tsup::write_file(h.state("io_points.toml"), "[[song]]\npath = \"/a\"\nin = 5\n\n");
    tsup::write_file(h.state("library.toml"), "new catalog\n");

    RunResult r = h.cli({"restore"});
    EXPECT_EQ(r.status, 2);
    r = h.cli({"restore", "--points-only"});
    EXPECT_EQ(r.status, 2);
    r = h.cli({"restore", "../" + id});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "restore failed: ../" + id + "\n");

    r = h.cli({"restore", "--points-only", id});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "restored " + id +
                         " (points only) (previous state saved as a before-restore backup; undo reverts points)\n");
    EXPECT_EQ(tsup::read_file(h.state("library.toml")), "new catalog\n");
    EXPECT_NE(tsup::read_file(h.state("io_points.toml")).find("in = 1\n"), std::string::npos);
    r = h.cli({"undo"});
    EXPECT_EQ(r.out, "undid: Restore " + id + "\n");
    EXPECT_NE(tsup::read_file(h.state("io_points.toml")).find("in = 5\n"), std::string::npos);

    r = h.cli({"restore", id, "--bogus"});  // last name wins
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "restore failed: --bogus\n");
    r = h.cli({"restore", id});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "restored " + id + " (previous state saved as a before-restore backup; undo reverts points)\n");
    EXPECT_EQ(tsup::read_file(h.state("library.toml")), "old catalog\n");
}

TEST(CliBackup, FullRestoreRefusedWhilePlayerRuns)
{
    Home h;
    tsup::write_file(h.state("library.toml"), "catalog\n");
    std::string id = h.backup({});
    // A stand-in "player": a copy of sleep under a unique process name.
    std::string name = "lmplay" + std::to_string(::getpid() % 100000);
    std::string fake = h.dir / name;
    std::filesystem::copy_file("/bin/sleep", fake);
    pid_t pid = 0;
    char* argv[] = {fake.data(), const_cast<char*>("30"), nullptr};
    ASSERT_EQ(posix_spawn(&pid, fake.c_str(), nullptr, nullptr, argv, environ), 0);
    tsup::RunOptions o;
    o.env["LUMORA_MUSIC_APP_PROC"] = name;
    RunResult r = h.cli({"restore", id}, o);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Lumora Music is open: use its Backups menu, quit it, or add --points-only\n");
    r = h.cli({"restore", id, "--points-only"}, o);
    EXPECT_EQ(r.status, 0) << r.err;
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
}

}  // namespace
