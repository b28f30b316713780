// Small libraries for the view tests.
#pragma once
#include <string>
#include <vector>

#include "app/app_state.h"

inline Track views_track(const std::string& path, const std::string& title, const std::string& artist,
                         const std::string& album, int num = 0, const std::string& genre = "") {
    Track t;
    t.path = path;
    t.title = title;
    t.artist = artist;
    t.album = album;
    t.track_num = num;
    t.genre = genre;
    return t;
}

inline std::vector<std::string> views_paths(const AppState& s) {
    std::vector<std::string> out;
    for (const Track& t : s.library.tracks) out.push_back(t.path);
    return out;
}
