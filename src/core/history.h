// Undo history of the points file: whole-file snapshots in
// ~/.lumoramusic/history/NNNN/, a cursor in pos.toml, shared by the player and
// the tool and serialised by an flock on history/lock.
#pragma once
#include <string>

struct HistPos {
    int cur = 0;  // snapshot matching the live file when nothing was edited since; 0 = none
    int top = 0;  // newest snapshot redo can reach
};

// Takes the exclusive history lock (waits); close() the result to release.
// Negative when the lock file cannot be opened (callers then go on unlocked).
int hist_lock();
// state_home() + "/history/" + n as %04d.
std::string hist_entry(int n);
HistPos hist_pos_load();
bool hist_pos_save(const HistPos& pos);
// Records the live file as "Start"/"Edits" when it differs from snapshot cur.
void hist_checkpoint();
// Records the live file as `label` when it differs from snapshot cur.
void hist_commit(const std::string& label);
// Steps back / forward; the label of the step, or "" when nothing happened.
std::string hist_undo();
std::string hist_redo();
// What hist_undo / hist_redo would report; reads without the lock.
std::string hist_undo_label();
std::string hist_redo_label();
