// Reader of the synced-lyrics cache kept by the companion lyrics player
// (Corvelle): one JSON file per audio file, named by a fingerprint.
#pragma once
#include <string>
#include <vector>

#include "lyrics/lrc.h"

// 64 lower-case hex digits of SHA-256 over name, size, mtime and the head and
// tail 256 KiB of the file; "" when the file cannot be examined or opened.
std::string cvl_fingerprint(const std::string& path);
// "$XDG_DATA_HOME/Corvelle/SyncedLyrics" (default ~/.local/share/...);
// "" when neither XDG_DATA_HOME nor HOME is set.
std::string cvl_cache_dir();
// Pattern scan of a cache file: "lines": [ {startTime, text}, ... ].
// Appends to `lines`; true when at least one line was added.
bool parse_cvl_json(const std::string& text, std::vector<LrcLine>& lines);
// Fingerprint, read, parse and sort; false when any step fails.
bool try_load_cvl_lyrics(const std::string& song_path, std::vector<LrcLine>& lines);
