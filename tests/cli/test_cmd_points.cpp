#include <gtest/gtest.h>

#include <thread>

#include "core/library.h"
#include "core/points.h"
#include "support/support.h"

using tsup::RunResult;
using tsup::TempDir;

namespace {

Track mk(const std::string& path, const std::string& title)
{
    Track t;
    t.path = path;
    t.title = title;
    t.artist = "Band";
    return t;
}

// A title word that no other song's title contains.
std::string tag(int i)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "n%02dz", i);
    return buf;
}

// A home whose catalog holds a few songs (the files need not exist: songs
// are found by title words).
struct Home {
    TempDir dir;
    std::string points = dir / ".lumoramusic/io_points.toml";
    explicit Home(int extra = 0)
    {
        Library lib;
        lib.catalog_path = dir / ".lumoramusic/library.toml";
        lib.tracks = {mk("/m/alpha.mp3", "Alpha"), mk("/m/beta.mp3", "Beta\\B"), mk("/m/gamma.mp3", "Gamma")};
        for (int i = 0; i < extra; ++i) lib.tracks.push_back(mk("/m/s" + std::to_string(i) + ".mp3", tag(i)));
        lib.save_catalog();
    }
    RunResult cli(const std::vector<std::string>& args) const { return tsup::run_cli(dir.path(), args); }
    IoStore store() const { return io_store_load(points); }
};

std::string set_line(const std::string& title, const char* nums)
{
    char buf[256];
    std::snprintf(buf, sizeof buf, "set %-40s %s\n", title.c_str(), nums);
    return buf;
}

std::string hist_line(int i, const std::string& label, const char* mark = "")
{
    char buf[256];
    std::snprintf(buf, sizeof buf, "%4d  %-40s%s\n", i, label.c_str(), mark);
    return buf;
}

TEST(CliPoints, SetThenShow)
{
    Home h;
    RunResult r = h.cli({"set", "alpha", "--in", "10", "--out", "20.5"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, set_line("Alpha", "in 10.00 out 20.50"));
    EXPECT_EQ(tsup::read_file(h.points),
              "# Lumora Music — per-song I/O points\n\n[[song]]\npath = \"/m/alpha.mp3\"\nin = 10\nout = 20.5\n\n");

    r = h.cli({"points", "alpha"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "[[song]]\ntitle = \"Alpha\"\nin = 10.00\nout = 20.50\n\n");
    r = h.cli({"points", "beta"});
    EXPECT_EQ(r.out, "[[song]]\ntitle = \"Beta\\\\B\"\nin = -1.00\nout = -1.00\n\n");
    r = h.cli({"points", "nothing-like-this"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");

    r = h.cli({"history"});
    EXPECT_EQ(r.out, hist_line(1, "Start") + hist_line(2, "Set I/O (1 song)", "  <- now") +
                         "\nundo: Set I/O (1 song)\nredo: -\n");
}

TEST(CliPoints, SetValueForms)
{
    struct Case {
        std::vector<std::string> args;
        const char* line;  // resulting "in .. out .." of Alpha, which starts at 10 / 20
        bool kept;         // record still stored
    };
    const Case cases[] = {
        {{"--in", "-"}, "in -1.00 out 20.00", true},
        {{"--out", "0"}, "in 10.00 out 0.00", true},
        {{"--in", "-", "--out", "-"}, "in -1.00 out -1.00", false},
        {{"--in", "abc"}, "in 0.00 out 20.00", true},
        {{"--in", "5", "--in", "7"}, "in 7.00 out 20.00", true},  // later flag wins
        {{"--out", "30", "--in"}, "in 10.00 out 30.00", true},    // flag without a value ignored
    };
    for (const Case& c : cases) {
        Home h;
        ASSERT_EQ(h.cli({"set", "alpha", "--in", "10", "--out", "20"}).status, 0);
        std::vector<std::string> args{"set", "alpha"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        RunResult r = h.cli(args);
        SCOPED_TRACE(args.back());
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, set_line("Alpha", c.line));
        EXPECT_EQ(h.store().count("/m/alpha.mp3"), c.kept ? 1u : 0u);
    }
}

TEST(CliPoints, SetRefusals)
{
    Home h;
    ASSERT_EQ(h.cli({"set", "beta", "--out", "20"}).status, 0);
    std::string before = tsup::read_file(h.points);

    // A rejected pair stops everything: alpha's line was printed, nothing stored.
    RunResult r = h.cli({"set", "--artist", "Band", "--in", "30"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, set_line("Alpha", "in 30.00 out -1.00"));
    EXPECT_EQ(r.err, "skip Beta\\B: In 30.00 >= Out 20.00\n");
    EXPECT_EQ(tsup::read_file(h.points), before);

    r = h.cli({"set", "nomatch", "--in", "1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "no matching songs\n");

    for (const std::vector<std::string>& args : {std::vector<std::string>{"set", "alpha"},
                                                 std::vector<std::string>{"set", "alpha", "--in"}}) {
        r = h.cli(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find("SONG = file path"), std::string::npos);
    }
    EXPECT_EQ(tsup::read_file(h.points), before);
}

TEST(CliPoints, DuplicatesCountInLabel)
{
    Home h;
    // --artist reaches all three songs, the word reaches Alpha a second time.
    RunResult r = h.cli({"set", "--artist", "band", "alpha", "--out", "50"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(h.store().size(), 3u);
    r = h.cli({"undo"});
    EXPECT_EQ(r.out, "undid: Set I/O (4 songs)\n");
    EXPECT_TRUE(h.store().empty());
}

TEST(CliHistory, UndoRedoHistory)
{
    Home h;
    RunResult r = h.cli({"undo"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "nothing to undo\n");
    EXPECT_EQ(h.cli({"redo"}).out, "nothing to redo\n");

    for (const char* in : {"1", "2", "3", "4"}) ASSERT_EQ(h.cli({"set", "gamma", "--in", in}).status, 0);
    EXPECT_EQ(h.cli({"undo"}).out, "undid: Set I/O (1 song)\n");
    EXPECT_EQ(h.cli({"undo", "ignored"}).status, 0);
    EXPECT_FLOAT_EQ(h.store()["/m/gamma.mp3"].in, 2);

    r = h.cli({"history"});
    EXPECT_EQ(r.status, 0);
    const std::string set1 = "Set I/O (1 song)";
    EXPECT_EQ(r.out, hist_line(1, "Start") + hist_line(2, set1) + hist_line(3, set1, "  <- now") +
                         hist_line(4, set1, "  (redo)") + hist_line(5, set1, "  (redo)") +
                         "\nundo: Set I/O (1 song)\nredo: Set I/O (1 song)\n");

    r = h.cli({"redo"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "redid: Set I/O (1 song)\n");
    EXPECT_FLOAT_EQ(h.store()["/m/gamma.mp3"].in, 3);
}

// Many set commands at once against one state folder: every change lands,
// every snapshot is whole, and the history walks back to the start.
TEST(CliHistory, ConcurrentSetsKeepHistoryWhole)
{
    const int kSongs = 16, kParallel = 4;
    Home h(kSongs);
    std::vector<int> status(kSongs, -1);
    for (int start = 0; start < kSongs; start += kParallel) {
        std::vector<std::thread> batch;
        for (int i = start; i < start + kParallel; ++i)
            batch.emplace_back([&, i] {
                status[i] = h.cli({"set", tag(i), "--in", std::to_string(i + 1)}).status;
            });
        for (std::thread& t : batch) t.join();
    }
    for (int i = 0; i < kSongs; ++i) EXPECT_EQ(status[i], 0) << i;

    IoStore live = h.store();
    EXPECT_EQ(live.size(), static_cast<size_t>(kSongs));  // no lost update
    std::string pos = tsup::read_file(h.dir / ".lumoramusic/history/pos.toml");
    EXPECT_EQ(pos, "# Lumora Music undo position\ncur = " + std::to_string(kSongs + 1) +
                       "\ntop = " + std::to_string(kSongs + 1) + "\n");

    // Each step holds exactly one more song than the one before it.
    for (int n = kSongs + 1; n >= 1; --n) {
        char name[16];
        std::snprintf(name, sizeof name, "%04d", n);
        std::string snap = tsup::read_file(h.dir / (std::string(".lumoramusic/history/") + name + "/io_points.toml"));
        IoStore s = io_store_parse(snap);
        EXPECT_EQ(s.size(), static_cast<size_t>(n - 1)) << name;
        if (n > 1) {
            EXPECT_EQ(snap, io_store_text(s)) << name;  // whole, as written
        }
    }
    int undos = 0;
    while (h.cli({"undo"}).status == 0) ++undos;
    EXPECT_EQ(undos, kSongs);
    EXPECT_TRUE(h.store().empty());
}

}  // namespace
