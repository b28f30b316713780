// Moving songs into the app trash, back out of it, and on to the system Trash.
#include <cerrno>
#include <cstring>
#include <ctime>
#include <sys/stat.h>

#include "core/file_names.h"
#include "core/library.h"
#include "core/state.h"
#include "core/system_trash.h"
#include "core/track.h"
#include "core/trash.h"

static bool entry_exists(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

bool trash_song(TrashState& state, Library& lib, const std::string& path)
{
    if (state.path.empty()) state.path = trash_index_file();
    int idx = lib.find_path(path);
    TrashEntry e;
    if (idx >= 0) e.track = lib.tracks[idx];
    else e.track.path = path;
    e.when = static_cast<int64_t>(std::time(nullptr));
    bool present = entry_exists(path);
    if (present) {
        e.at = trash_target(path);
        if (::rename(path.c_str(), e.at.c_str()) != 0) {
            state.status = std::string("Couldn't delete: ") + std::strerror(errno);
            return false;
        }
        for (Playlist& p : lib.playlists)
            if (p.remove_track(path)) e.playlists.push_back(p.name);
    }
    if (idx >= 0) lib.tracks.erase(lib.tracks.begin() + idx);
    if (present) {
        state.entries.push_back(e);
        trash_save(state);
    } else {
        state.status = "Removed missing song";
    }
    lib.save_catalog();
    return true;
}

bool trash_restore(TrashState& state, Library& lib, int index)
{
    if (index < 0 || index >= static_cast<int>(state.entries.size())) return false;
    TrashEntry e = state.entries[index];
    std::string dest = e.track.path;
    std::string folder = path_dir(dest);
    state_mkdirs(folder);
    // Never overwrite a file that took the song's place meanwhile.
    if (entry_exists(dest)) dest = io_unique_path(folder, path_stem(dest), io_file_ext(dest));
    if (::rename(e.at.c_str(), dest.c_str()) != 0) {
        state.status = std::string("Couldn't restore: ") + std::strerror(errno);
        return false;
    }
    Track t = e.track;
    t.path = dest;
    lib.tracks.push_back(t);
    for (const std::string& name : e.playlists)
        for (Playlist& p : lib.playlists)
            if (p.name == name) p.add_track(dest);
    state.entries.erase(state.entries.begin() + index);
    trash_save(state);
    lib.save_catalog();
    state.status = "Restored \"" + e.track.title + "\"";
    return true;
}

int trash_restore_all(TrashState& state, Library& lib)
{
    int total = static_cast<int>(state.entries.size()), done = 0;
    for (int i = total - 1; i >= 0; --i)
        if (trash_restore(state, lib, i)) ++done;
    state.status = "Restored " + std::to_string(done) + " of " + std::to_string(total);
    return done;
}

// After an entry's file went to the system Trash its saved original (the
// untrimmed song) follows it: nothing would ever restore it otherwise.
static void drop_original(const std::string& song, IoOriginals& originals)
{
    auto it = originals.find(song);
    if (it == originals.end()) return;
    io_trash_file(it->second);
    originals.erase(it);
}

bool trash_to_system(TrashState& state, int index, IoOriginals& originals, const std::string& originals_path)
{
    if (index < 0 || index >= static_cast<int>(state.entries.size())) return false;
    TrashEntry e = state.entries[index];
    if (!io_trash_file(e.at)) {
        state.status = "Couldn't move to Trash";
        return false;
    }
    if (originals.count(e.track.path)) {
        drop_original(e.track.path, originals);
        io_originals_save(originals, originals_path);
    }
    state.entries.erase(state.entries.begin() + index);
    trash_save(state);
    state.status = "Moved \"" + e.track.title + "\" to Trash";
    return true;
}

void trash_empty(TrashState& state, IoOriginals& originals, const std::string& originals_path)
{
    std::vector<TrashEntry> kept;
    for (const TrashEntry& e : state.entries) {
        if (io_trash_file(e.at)) drop_original(e.track.path, originals);
        else kept.push_back(e);
    }
    io_originals_save(originals, originals_path);
    size_t failed = kept.size();
    state.entries = std::move(kept);
    trash_save(state);
    state.status = failed == 0 ? "Trash emptied (files are in Trash)"
                               : std::to_string(failed) + " couldn't be moved";
}
