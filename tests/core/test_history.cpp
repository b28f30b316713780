#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <climits>
#include <cstdio>

#include "core/history.h"
#include "core/points.h"
#include "core/state.h"
#include "support/points_support.h"

using tsup::StateHome;

namespace {

// Points history with a helper to change the live file as a caller would.
struct Hist : StateHome {
    void set(const std::string& song, float in)
    {
        IoStore s = io_store_load(io_store_file());
        s[song] = {in, -1};
        io_store_save(s, io_store_file());
    }
    float in_of(const std::string& song)
    {
        IoStore s = io_store_load(io_store_file());
        return s.count(song) ? s[song].in : -1;
    }
    std::string live() { return tsup::read_file(io_store_file()); }
    std::string snap(int n) { return tsup::read_file(hist_entry(n) + "/io_points.toml"); }
};

TEST(History, EntryNamesAndPosFile)
{
    Hist h;
    EXPECT_EQ(hist_entry(7), h.state("history/0007"));
    EXPECT_EQ(hist_entry(9999), h.state("history/9999"));
    EXPECT_EQ(hist_entry(10000), h.state("history/10000"));

    HistPos none = hist_pos_load();
    EXPECT_EQ(none.cur, 0);
    EXPECT_EQ(none.top, 0);
    ASSERT_TRUE(hist_pos_save({4, 6}));
    EXPECT_EQ(tsup::read_file(h.state("history/pos.toml")), "# Lumora Music undo position\ncur = 4\ntop = 6\n");

    struct Case {
        std::string text;
        int cur, top;
    };
    const Case cases[] = {
        {"cur = 3\n", 3, 0},
        {"top = 8\ncur=2\n", 2, 8},
        {"cur = x\ntop = -4\n", 0, 0},                  // no number, negative
        {"cur = 99999999999999\ntop = 5\n", INT_MAX / 2, 5},  // clamped, never overflows
        {"garbage\n\n", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        tsup::write_file(h.state("history/pos.toml"), c.text);
        HistPos p = hist_pos_load();
        EXPECT_EQ(p.cur, c.cur);
        EXPECT_EQ(p.top, c.top);
    }
}

TEST(History, FirstUndoOnlyRecordsStart)
{
    Hist h;
    EXPECT_EQ(hist_undo(), "");
    HistPos p = hist_pos_load();
    EXPECT_EQ(p.cur, 1);
    EXPECT_EQ(p.top, 1);
    EXPECT_EQ(state_meta_label(hist_entry(1)), "Start");
    EXPECT_EQ(h.snap(1), "");  // no live file yet counts as empty
}

TEST(History, UndoRedoWalk)
{
    Hist h;
    hist_checkpoint();
    h.set("/a.mp3", 1);
    hist_commit("Set A");
    std::string after_a = h.live();
    h.set("/a.mp3", 2);  // uncommitted edit

    EXPECT_EQ(hist_undo_label(), "Edits");
    EXPECT_EQ(hist_redo_label(), "");
    EXPECT_EQ(hist_undo(), "Edits");  // the edit became step 3 and is undone
    EXPECT_EQ(h.live(), after_a);
    EXPECT_EQ(hist_pos_load().cur, 2);
    EXPECT_EQ(hist_pos_load().top, 3);
    EXPECT_EQ(hist_undo_label(), "Set A");
    EXPECT_EQ(hist_redo_label(), "Edits");

    EXPECT_EQ(hist_redo(), "Edits");
    EXPECT_FLOAT_EQ(h.in_of("/a.mp3"), 2);
    EXPECT_EQ(hist_redo(), "");  // at the top

    EXPECT_EQ(hist_undo(), "Edits");
    EXPECT_EQ(hist_undo(), "Set A");
    EXPECT_FLOAT_EQ(h.in_of("/a.mp3"), -1);
    EXPECT_EQ(hist_undo(), "");  // snapshot 1 is the floor
    EXPECT_EQ(hist_undo_label(), "");
}

TEST(History, EditAfterUndoAbandonsRedo)
{
    Hist h;
    for (int i = 1; i <= 3; ++i) {
        hist_checkpoint();
        h.set("/a.mp3", static_cast<float>(i));
        hist_commit("step " + std::to_string(i));
    }
    EXPECT_EQ(hist_undo(), "step 3");
    EXPECT_EQ(hist_undo(), "step 2");
    h.set("/b.mp3", 9);
    EXPECT_EQ(hist_redo_label(), "");
    EXPECT_EQ(hist_redo(), "");
    EXPECT_FLOAT_EQ(h.in_of("/b.mp3"), 9);  // the edit is untouched

    hist_checkpoint();  // the branch is abandoned: the edit becomes the new top
    HistPos p = hist_pos_load();
    EXPECT_EQ(p.cur, 3);
    EXPECT_EQ(p.top, 3);
    EXPECT_EQ(state_meta_label(hist_entry(3)), "Edits");
}

TEST(History, CommitWithoutChangeRecordsNothing)
{
    Hist h;
    h.set("/a.mp3", 1);
    hist_checkpoint();
    hist_commit("Nothing");
    hist_checkpoint();
    EXPECT_EQ(hist_pos_load().top, 1);
    EXPECT_EQ(state_meta_label(hist_entry(1)), "Start");
}

TEST(History, MissingSnapshotStopsQuietly)
{
    Hist h;
    hist_checkpoint();
    h.set("/a.mp3", 1);
    hist_commit("A");
    std::string live = h.live();
    std::remove((hist_entry(1) + "/io_points.toml").c_str());
    EXPECT_EQ(hist_undo(), "");
    EXPECT_EQ(h.live(), live);
    EXPECT_EQ(hist_pos_load().cur, 2);

    // A cursor that points past every snapshot: the next checkpoint starts
    // a fresh step above it instead of failing.
    tsup::write_file(h.state("history/pos.toml"), "cur = 40\ntop = 2\n");
    EXPECT_EQ(hist_redo(), "");
    hist_checkpoint();
    EXPECT_EQ(hist_pos_load().cur, 41);
    EXPECT_EQ(h.snap(41), live);
}

TEST(History, LockIsExclusiveBetweenDescriptors)
{
    Hist h;
    int fd = hist_lock();
    ASSERT_GE(fd, 0);
    EXPECT_TRUE(tsup::exists(h.state("history/lock")));
    int other = ::open(h.state("history/lock").c_str(), O_RDWR);
    ASSERT_GE(other, 0);
    EXPECT_NE(::flock(other, LOCK_EX | LOCK_NB), 0);
    ::close(fd);
    EXPECT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
    ::close(other);
}

}  // namespace
