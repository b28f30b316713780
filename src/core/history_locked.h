// History steps for callers that already hold the history lock, so that a
// whole read-modify-write of the points file (the tool's set command) can run
// as one locked step. The public hist_checkpoint/hist_commit take the lock
// themselves; flock is not re-entrant, so never call those while holding it.
#pragma once
#include <string>

// Holds hist_lock() for one scope.
struct HistLock {
    int fd;
    HistLock();
    ~HistLock();
    HistLock(const HistLock&) = delete;
    HistLock& operator=(const HistLock&) = delete;
};

void hist_checkpoint_locked();
void hist_commit_locked(const std::string& label);
