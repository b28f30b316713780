// Index of replaced songs whose untrimmed originals were kept
// (~/.lumoramusic/originals.toml, files in ~/.lumoramusic/originals/).
#pragma once
#include <map>
#include <string>

// Song path -> path of its saved original.
using IoOriginals = std::map<std::string, std::string>;

// State folder + "/originals" (created, with the state folder, mode 0755).
std::string io_originals_dir();
// State folder + "/originals.toml".
std::string io_originals_file();
// Reads the index; pairs whose saved file has gone are dropped.
IoOriginals io_originals_load(const std::string& path);
// Rewrites the index (atomically); false without writing for an empty path.
bool io_originals_save(const IoOriginals& map, const std::string& path);
