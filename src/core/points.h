// Per-song In/Out points: the store shared by the player and the tool
// (~/.lumoramusic/io_points.toml).
#pragma once
#include <map>
#include <string>

// The saved points of one song, in seconds. In < 0 means no In point,
// Out <= 0 means no Out point.
struct IoSaved {
    float in = -1.0f;
    float out = -1.0f;
};

// Song path (compared byte-wise) -> its points.
using IoStore = std::map<std::string, IoSaved>;

// "$HOME/.lumoramusic/io_points.toml" (creates the state folder).
std::string io_store_file();
// Reads the points file; an empty map when it cannot be opened.
IoStore io_store_load(const std::string& path);
// Parses points-file text (the same rules as io_store_load).
IoStore io_store_parse(const std::string& text);
// The points file's text as io_store_save writes it.
std::string io_store_text(const IoStore& store);
// Rewrites the points file (atomically); false without writing for an empty path.
bool io_store_save(const IoStore& store, const std::string& path);
// Forgets a song's points in the store and saves it, only when it had an entry;
// false when there was none. (The player's own overload also resets its live
// In/Out and per-song undo for the song being edited.)
bool io_clear_song_points(IoStore& store, const std::string& store_path, const std::string& song);
