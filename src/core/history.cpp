#include "core/history.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "core/history_locked.h"
#include "core/points.h"
#include "core/state.h"

static std::string pos_file()
{
    return state_home() + "/history/pos.toml";
}

int hist_lock()
{
    std::string dir = state_home() + "/history";
    state_mkdirs(dir);
    int fd = ::open((dir + "/lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return -1;
    while (::flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR) break;  // go on unlocked rather than hang
    }
    return fd;
}

std::string hist_entry(int n)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d", n);
    return state_home() + "/history/" + buf;
}

// A damaged pos.toml must not drive the cursor below zero or to the edge of
// int, where cur + 1 would overflow.
static int pos_value(const std::string& line)
{
    long long v = toml_int(toml_value(line));
    if (v < 0) return 0;
    return v > INT_MAX / 2 ? INT_MAX / 2 : static_cast<int>(v);
}

HistPos hist_pos_load()
{
    HistPos pos;
    std::string text;
    if (!state_read(pos_file(), text)) return pos;
    for (const std::string& line : state_lines(text)) {
        if (line.find('=') == std::string::npos) continue;
        if (line.rfind("cur", 0) == 0) pos.cur = pos_value(line);
        else if (line.rfind("top", 0) == 0) pos.top = pos_value(line);
    }
    return pos;
}

bool hist_pos_save(const HistPos& pos)
{
    return state_write(pos_file(), "# Lumora Music undo position\ncur = " + std::to_string(pos.cur) +
                                       "\ntop = " + std::to_string(pos.top) + "\n");
}

// Appends `live` (the points file as just read) as a new snapshot; the caller
// holds the lock and saves `pos`.
static void hist_push(HistPos& pos, const std::string& live, const std::string& label)
{
    pos.cur += 1;
    pos.top = pos.cur;
    std::string dir = hist_entry(pos.cur);
    state_write(dir + "/io_points.toml", live);
    state_write(dir + "/meta.toml", state_meta(label));
}

// True when snapshot `cur` exists and holds exactly the live file's bytes.
static bool live_matches(int cur, const std::string& live)
{
    if (cur <= 0) return false;
    std::string snap;
    return state_read(hist_entry(cur) + "/io_points.toml", snap) && snap == live;
}

// Snapshots the live file unless snapshot cur already holds it. Without a
// label the step is "Start" (the first snapshot) or "Edits".
static void record_locked(const std::string* label)
{
    HistPos pos = hist_pos_load();
    std::string live;
    state_read(io_store_file(), live);
    if (live_matches(pos.cur, live)) return;
    hist_push(pos, live, label ? *label : pos.cur == 0 ? "Start" : "Edits");
    hist_pos_save(pos);
}

void hist_checkpoint_locked()
{
    record_locked(nullptr);
}

void hist_commit_locked(const std::string& label)
{
    record_locked(&label);
}

HistLock::HistLock() : fd(hist_lock()) {}

HistLock::~HistLock()
{
    if (fd >= 0) ::close(fd);
}

void hist_checkpoint()
{
    HistLock lock;
    hist_checkpoint_locked();
}

void hist_commit(const std::string& label)
{
    HistLock lock;
    hist_commit_locked(label);
}

std::string hist_undo()
{
    hist_checkpoint();
    HistLock lock;
    HistPos pos = hist_pos_load();
    if (pos.cur <= 1) return "";
    std::string prev;
    if (!state_read(hist_entry(pos.cur - 1) + "/io_points.toml", prev)) return "";
    std::string label = state_meta_label(hist_entry(pos.cur));
    if (!state_write(io_store_file(), prev)) return "";
    pos.cur -= 1;
    hist_pos_save(pos);
    return label;
}

std::string hist_redo()
{
    HistLock lock;
    HistPos pos = hist_pos_load();
    std::string live;
    state_read(io_store_file(), live);
    if (!live_matches(pos.cur, live) || pos.cur >= pos.top) return "";
    std::string next;
    if (!state_read(hist_entry(pos.cur + 1) + "/io_points.toml", next)) return "";
    std::string label = state_meta_label(hist_entry(pos.cur + 1));
    if (!state_write(io_store_file(), next)) return "";
    pos.cur += 1;
    hist_pos_save(pos);
    return label;
}

std::string hist_undo_label()
{
    HistPos pos = hist_pos_load();
    if (pos.cur <= 0) return "";
    std::string live, snap;
    state_read(io_store_file(), live);
    if (state_read(hist_entry(pos.cur) + "/io_points.toml", snap) && snap != live) return "Edits";
    return pos.cur == 1 ? "" : state_meta_label(hist_entry(pos.cur));
}

std::string hist_redo_label()
{
    HistPos pos = hist_pos_load();
    std::string live;
    state_read(io_store_file(), live);
    if (pos.cur < pos.top && live_matches(pos.cur, live))
        return state_meta_label(hist_entry(pos.cur + 1));
    return "";
}
