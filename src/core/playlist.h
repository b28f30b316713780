// Named, ordered lists of song paths, kept in the catalog file after the tracks.
#pragma once
#include <iosfwd>
#include <string>
#include <vector>

struct Playlist {
    std::string name;
    std::vector<std::string> paths;  // play order

    // Appends unless exactly this path is already there; true when appended.
    bool add_track(const std::string& path);
    // Removes the first occurrence of exactly this path; true when one was removed.
    bool remove_track(const std::string& path);
};

class Library;
// Reads the [[playlist]] tables from the catalog's text (the catalog reader
// hands over the text it already read); the list is emptied first.
void load_playlists_text(Library& library, const std::string& text);
// Appends the [[playlist]] tables to the catalog text being written.
void save_playlists(const Library& library, std::string& out);
