// Getting songs into the catalog: the folder walk, the first scan, adding
// paths, and refreshing durations. Reading a file's tags and length is the
// slow part, so it runs on every core while the catalog order stays the walk's.
#include <algorithm>
#include <atomic>
#include <dirent.h>
#include <functional>
#include <set>
#include <sys/stat.h>
#include <thread>
#include <unordered_set>

#include "core/duration.h"
#include "core/library.h"

namespace {

bool is_dir(const std::string& p)
{
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool is_regular(const std::string& p)
{
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Entries sorted by name so that scans are repeatable. Symbolic links to
// folders are not followed, which also keeps link loops from trapping the walk.
void walk(const std::string& dir, std::vector<std::string>& out)
{
    DIR* d = ::opendir(dir.c_str());
    if (!d) return;
    std::vector<std::pair<std::string, unsigned char>> entries;
    while (dirent* e = ::readdir(d)) {
        std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        entries.emplace_back(std::move(name), e->d_type);
    }
    ::closedir(d);
    std::sort(entries.begin(), entries.end());
    std::string base = dir.empty() || dir.back() == '/' ? dir : dir + "/";
    for (auto& [name, type] : entries) {
        std::string p = base + name;
        if (type == DT_DIR) {
            walk(p, out);
        } else if (type == DT_REG) {
            out.push_back(std::move(p));
        } else if (type == DT_LNK || type == DT_UNKNOWN) {
            struct stat lst {};
            if (::lstat(p.c_str(), &lst) != 0) continue;
            if (S_ISDIR(lst.st_mode)) walk(p, out);
            else if (is_regular(p)) out.push_back(std::move(p));
        }
    }
}

// Runs fn(i) for i in [0, n) on all cores.
void parallel_for(size_t n, const std::function<void(size_t)>& fn)
{
    unsigned workers = std::max(1u, std::min(std::thread::hardware_concurrency(), 8u));
    if (n < 2 || workers == 1) {
        for (size_t i = 0; i < n; ++i) fn(i);
        return;
    }
    std::atomic<size_t> next{0};
    std::vector<std::thread> pool;
    for (unsigned w = 0; w < workers && w < n; ++w)
        pool.emplace_back([&] {
            for (size_t i; (i = next++) < n;) fn(i);
        });
    for (auto& t : pool) t.join();
}

std::vector<Track> tracks_for(const std::vector<std::string>& paths)
{
    std::vector<Track> out(paths.size());
    parallel_for(paths.size(), [&](size_t i) { out[i] = track_from_file(paths[i]); });
    return out;
}

// A line break cannot be stored in the catalog's line format, so such a file
// could never be found again under its own path: it is left out.
bool storable(const std::string& path)
{
    return path.find('\n') == std::string::npos && path.find('\r') == std::string::npos;
}

}  // namespace

std::vector<std::string> library_walk(const std::string& dir, bool skip_trash)
{
    std::vector<std::string> files;
    walk(dir, files);
    std::vector<std::string> out;
    for (auto& f : files) {
        if (!is_audio_ext(f) || !storable(f)) continue;
        if (skip_trash && f.find("/.lumoramusic-trash/") != std::string::npos) continue;
        out.push_back(std::move(f));
    }
    return out;
}

void Library::scan_folder(const std::string& dir)
{
    if (!is_dir(dir)) return;
    std::vector<Track> found = tracks_for(library_walk(dir, true));
    for (Track& t : found) tracks.push_back(std::move(t));
}

void Library::add_path(const std::string& path)
{
    std::vector<std::string> files;
    if (is_dir(path)) {
        files = library_walk(path, false);
    } else if (is_regular(path) && is_audio_ext(path) && storable(path)) {
        files.push_back(path);
    }
    if (files.empty()) return;
    std::unordered_set<std::string> have;
    for (const Track& t : tracks) have.insert(t.path);
    std::vector<std::string> fresh;
    for (auto& f : files)
        if (have.insert(f).second) fresh.push_back(std::move(f));
    for (Track& t : tracks_for(fresh)) tracks.push_back(std::move(t));
}

void Library::refresh_durations()
{
    std::vector<uint32_t> secs(tracks.size());
    parallel_for(tracks.size(), [&](size_t i) { secs[i] = estimate_mp3_duration(tracks[i].path); });
    for (size_t i = 0; i < tracks.size(); ++i)
        if (secs[i] != 0) tracks[i].duration = secs[i];
}

int Library::find_path(const std::string& path) const
{
    for (size_t i = 0; i < tracks.size(); ++i)
        if (tracks[i].path == path) return static_cast<int>(i);
    return -1;
}
