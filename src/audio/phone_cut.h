// Phone copies: songs cut to their In/Out points with the phone fades, cached
// in "Lumora Music Phone Cuts" beside the music folder.
#pragma once
#include <string>
#include <vector>

#include "core/points.h"

struct PhoneCut {
    std::string src;
    float in = 0;
    float out = 0;
    int fade_in_ms = 0;
    int fade_out_ms = 0;
    std::string dir;  // cache folder; empty = send uncut
};

// Parent of scan_root (a trailing '/' ignored) + "/Lumora Music Phone Cuts".
std::string phone_cut_dir(const std::string& scan_root);
// The cut request for a song from its saved points.
PhoneCut phone_cut_for(const IoStore& points, const std::string& path, double duration,
                       int fade_in_ms, int fade_out_ms, const std::string& dir);
// The cache key text of a request for a file of this size and mtime (ns).
std::string phone_cut_key(const PhoneCut& cut, unsigned long long size, long long mtime_ns);
// The file to send: src when no cut is wanted, the cached cut (made when
// missing), or "" when the cut could not be made. Thread-safe: cuts run one
// at a time under a process-wide lock.
std::string phone_cut_file(const PhoneCut& cut);
// Dated staging folder under `base` holding links (or copies) of the files;
// "" when nothing could be staged.
std::string phone_stage_folder(const std::vector<std::string>& paths, const std::string& base);
