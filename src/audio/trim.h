// Cutting songs with the ffmpeg program: format choice, the argument list,
// running child processes without a shell, and the start-up sweep.
#pragma once
#include <string>
#include <vector>

#include "core/file_names.h"
#include "core/system_trash.h"

class Library;

struct TrimFormat {
    std::string container;            // ffmpeg "-f" value
    std::vector<std::string> codec;   // codec arguments
    bool cover = false;               // container carries the cover picture
};

// Full path of ffmpeg found on PATH (then /usr/local/bin), "" when none.
// Looked up once per process.
const std::string& io_ffmpeg_path();
// The same lookup for a given PATH value, uncached.
std::string io_ffmpeg_find(const std::string& path_env);
// Output format by the source's extension (any case); WAV for unknown ones.
TrimFormat io_trim_format(const std::string& path);
// The whole ffmpeg argument list of a cut (first element = `ffmpeg`).
std::vector<std::string> io_trim_args(const std::string& ffmpeg, const std::string& src,
                                      const std::string& dst, double in, double out,
                                      double fade_in, double fade_out, const std::string& title);
// Cuts src [in, out) (seconds) to dst with half-sine fades (seconds); true when
// ffmpeg exited 0. False without running anything for in >= out or no ffmpeg.
// Blocks; call from a worker thread in the player.
bool io_trim_file(const std::string& src, const std::string& dst, double in, double out,
                  double fade_in, double fade_out, const std::string& title);
// Runs args[0] with args, no shell, inherited environment and streams; waits.
// True exactly for a normal exit with status 0.
bool io_run_argv(const std::vector<std::string>& args);
// Moves leftover ".lumora-trim.part" / ".lumora-restore.part" files beside the
// catalog's songs to the system Trash.
void io_sweep_parts(const Library& lib);
