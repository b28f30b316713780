// The app trash: deleted songs wait in a trash folder on their own volume,
// their catalog record and playlist memberships in ~/.lumoramusic/trash.toml.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/originals.h"
#include "core/track.h"

class Library;

struct TrashEntry {
    Track track;                         // track.path = original location
    std::string at;                      // where the file lies now
    std::vector<std::string> playlists;  // playlists that held it
    int64_t when = 0;                    // Unix seconds of the deletion
};

// The player's trash; only its main thread touches it.
struct TrashState {
    std::vector<TrashEntry> entries;       // in trashing order
    std::string path;                      // index file; empty until the first load
    std::vector<std::string> pending_delete;
    bool restore_all = false;
    int pending_restore = -1;
    int pending_system = -1;
    std::string status;
    std::string status_shown;
    double status_time = 0;
};

// State folder + "/trash.toml" (creates the state folder).
std::string trash_index_file();
// Sets state.path (to trash_index_file() when empty) and reads the index;
// entries whose file is gone are dropped.
void trash_load(TrashState& state);
// Parses index text into entries (no existence check).
std::vector<TrashEntry> trash_parse(const std::string& text);
std::string trash_text(const std::vector<TrashEntry>& entries);
// Rewrites the index (atomically); false for an empty path or a failed write.
bool trash_save(const TrashState& state);
// Trash folder for a file: ~/.lumoramusic/trash, or <mount>/.lumoramusic-trash
// for a file on another volume (created if missing).
std::string trash_dir_for(const std::string& path);
// Free path in the trash folder: <16 hex>-<stem><ext>, " 2" etc. when taken.
std::string trash_target(const std::string& path);
// Moves a catalog song into the trash: file, record and playlist memberships.
// False with state.status set when the file could not be moved.
bool trash_song(TrashState& state, Library& lib, const std::string& path);
// Puts entry `index` back: file, catalog record, playlist memberships.
bool trash_restore(TrashState& state, Library& lib, int index);
// Restores every entry, last first; returns the number restored.
int trash_restore_all(TrashState& state, Library& lib);
// Moves entry `index` on to the system Trash (with its saved original).
bool trash_to_system(TrashState& state, int index, IoOriginals& originals,
                     const std::string& originals_path);
// Moves every entry on to the system Trash; failures stay in the list.
void trash_empty(TrashState& state, IoOriginals& originals, const std::string& originals_path);
// The player's per-frame step: first load, then the requests the panel filed
// (deletes, restore, move to the system Trash, restore all), then the toast
// time of a new status. `now` is the caller's clock in seconds.
void trash_tick(TrashState& state, Library& lib, IoOriginals& originals, const std::string& originals_path,
                double now);
