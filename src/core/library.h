// The catalog: tracks, playlists, the catalog file and the first-scan root.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "core/playlist.h"
#include "core/track.h"

// "$HOME/.lumoramusic/library.toml" (the state folder is created on the way).
std::string default_catalog();

class Library {
public:
    std::vector<Track> tracks;        // display order
    std::vector<Playlist> playlists;  // sidebar order
    std::string catalog_path;
    std::string scan_root;

    // False (library untouched) when the file cannot be opened; otherwise true
    // when at least one track was read.
    bool load_catalog();
    // Parses catalog text; same result rule as load_catalog.
    bool load_catalog_text(const std::string& text);
    // Rewrites the whole catalog file atomically; false when it could not be written.
    bool save_catalog() const;
    // The catalog file's text as save_catalog writes it.
    std::string catalog_text() const;

    // First scan of a folder tree: every audio file, in walk order, no duplicate check.
    void scan_folder(const std::string& dir);
    // One file, or every audio file below a folder; skips paths already present.
    void add_path(const std::string& path);
    // Recomputes every duration from the audio (a 0 keeps the old value).
    void refresh_durations();

    void sort_by_title();
    void sort_by_artist();
    void sort_by_album();
    void sort_natural();   // artist, album, track number, title
    void sort_by_recent(); // newest file first, ties by path descending

    // Index of the track with exactly this path, or -1.
    int find_path(const std::string& path) const;
};

// A catalog key or value with blanks and double quotes cut from both ends
// (repeatedly); the catalog and playlist readers share it.
std::string_view catalog_trim(std::string_view s);

// Regular audio files below `dir` (symlinks to regular files count), in walk
// order. Unreadable folders and symlink loops are skipped. With skip_trash,
// files inside ".lumoramusic-trash" folders are left out.
std::vector<std::string> library_walk(const std::string& dir, bool skip_trash);
