// Song lengths refreshed in the background at start, so a large catalog
// never holds up the first frame.
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct AppState;
class Library;

// Shared by the worker (which fills `secs`, then sets `done`) and the loop.
struct DurationJob {
    std::vector<std::string> paths;  // the worker's own copy
    std::vector<uint32_t> secs;      // 0 = could not be measured
    std::atomic<bool> done{false};
    std::atomic<bool> cancel{false};
};

// Starts the worker over copies of the library's paths.
std::shared_ptr<DurationJob> durations_start(const Library& library);
// On the main thread: when the job is done, writes its lengths into the
// tracks (matched by path, since the library may have been re-sorted) and
// drops the job. True when it applied something this call.
bool durations_apply(AppState& state);
// Writes a finished job's lengths into a library; the number of tracks changed.
size_t durations_merge(const DurationJob& job, Library& library);
