// One song of the catalog. Its path, compared byte for byte, is its identity
// everywhere (points, trash, ledger, side files).
#pragma once
#include <cstdint>
#include <string>

struct Track {
    std::string path;
    std::string title;
    std::string artist;
    std::string album;
    std::string genre;
    uint32_t duration = 0;  // whole seconds; 0 = unknown
    uint32_t plays = 0;
    bool fav = false;
    int32_t track_num = 0;  // 0 = none
    int32_t year = 0;       // 0 = none
};

// True when the extension (any case) is one of the eight catalog audio types.
bool is_audio_ext(const std::string& path);
// File name without its last extension ("/a/b.c.mp3" -> "b.c").
std::string path_stem(const std::string& path);
// Path without its last extension, used to name side files ("/a/b.mp3" -> "/a/b").
std::string path_without_ext(const std::string& path);
// Folder part of a path ("/a/b.mp3" -> "/a"; "b.mp3" -> ".").
std::string path_dir(const std::string& path);
// A fresh track for a file: title from the file name, tags read, duration set.
Track track_from_file(const std::string& path);
