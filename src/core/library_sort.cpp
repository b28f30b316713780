// The five orderings of the catalog. String comparisons are byte-wise.
#include <algorithm>
#include <sys/stat.h>
#include <tuple>

#include "core/library.h"

void Library::sort_by_title()
{
    std::stable_sort(tracks.begin(), tracks.end(),
                     [](const Track& a, const Track& b) { return a.title < b.title; });
}

void Library::sort_by_artist()
{
    std::stable_sort(tracks.begin(), tracks.end(),
                     [](const Track& a, const Track& b) { return a.artist < b.artist; });
}

void Library::sort_by_album()
{
    std::stable_sort(tracks.begin(), tracks.end(),
                     [](const Track& a, const Track& b) { return a.album < b.album; });
}

void Library::sort_natural()
{
    std::stable_sort(tracks.begin(), tracks.end(), [](const Track& a, const Track& b) {
        return std::tie(a.artist, a.album, a.track_num, a.title) <
               std::tie(b.artist, b.album, b.track_num, b.title);
    });
}

void Library::sort_by_recent()
{
    // Each file's time is read once rather than twice per comparison. A file
    // whose time cannot be read counts as the oldest: letting it tie with
    // every other file would make the order inconsistent (and the sort's
    // result undefined), so it goes to the end, ordered by path descending.
    struct Key {
        bool ok;
        struct timespec mtime;
    };
    std::vector<std::pair<Key, Track>> keyed;
    keyed.reserve(tracks.size());
    for (Track& t : tracks) {
        struct stat st {};
        bool ok = ::stat(t.path.c_str(), &st) == 0;
        keyed.push_back({{ok, ok ? st.st_mtim : timespec{}}, std::move(t)});
    }
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        const Key& ka = a.first;
        const Key& kb = b.first;
        if (ka.ok != kb.ok) return ka.ok;
        if (ka.ok) {
            auto ta = std::tie(ka.mtime.tv_sec, ka.mtime.tv_nsec);
            auto tb = std::tie(kb.mtime.tv_sec, kb.mtime.tv_nsec);
            if (ta != tb) return ta > tb;
        }
        return a.second.path > b.second.path;
    });
    tracks.clear();
    for (auto& [k, t] : keyed) tracks.push_back(std::move(t));
}
