#include "app/startup_durations.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <thread>
#include <unordered_map>

#include "app/app_state.h"
#include "app/app_window.h"
#include "core/duration.h"

std::shared_ptr<DurationJob> durations_start(const Library& library) {
    auto job = std::make_shared<DurationJob>();
    job->paths.reserve(library.tracks.size());
    for (const auto& t : library.tracks) job->paths.push_back(t.path);
    std::thread([job] {
        // Below normal priority: the interface and the audio come first on a small machine.
        setpriority(PRIO_PROCESS, pid_t(syscall(SYS_gettid)), 10);
        job->secs.assign(job->paths.size(), 0);
        for (size_t i = 0; i < job->paths.size() && !job->cancel.load(); ++i)
            job->secs[i] = estimate_mp3_duration(job->paths[i]);
        job->done.store(true, std::memory_order_release);
        app_wake();  // an idle loop merges the lengths now, not on its next timeout
    }).detach();
    return job;
}

size_t durations_merge(const DurationJob& job, Library& library) {
    std::unordered_map<std::string, uint32_t> by_path;
    by_path.reserve(job.paths.size());
    for (size_t i = 0; i < job.paths.size() && i < job.secs.size(); ++i)
        if (job.secs[i] != 0) by_path[job.paths[i]] = job.secs[i];
    size_t changed = 0;
    for (auto& t : library.tracks) {
        auto it = by_path.find(t.path);
        if (it != by_path.end() && t.duration != it->second) {
            t.duration = it->second;
            ++changed;
        }
    }
    return changed;
}

bool durations_apply(AppState& s) {
    if (!s.durations || !s.durations->done.load(std::memory_order_acquire)) return false;
    durations_merge(*s.durations, s.library);
    s.durations.reset();
    return true;
}
