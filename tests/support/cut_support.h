// Looking inside cut audio files with ffmpeg/ffprobe: samples, tags, cover.
#pragma once
#include <string>
#include <vector>

namespace tsup {

// Mono float samples at `rate` Hz, decoded by ffmpeg (empty when unreadable).
std::vector<float> decode_mono(const std::string& path, int rate = 8000);
// Root mean square of samples [from, to) (seconds at `rate`).
double rms(const std::vector<float>& s, double from, double to, int rate = 8000);
// A container-level tag as ffprobe reports it ("" when absent).
std::string probe_tag(const std::string& path, const std::string& key);
// True when the file has a video (cover picture) stream.
bool has_cover(const std::string& path);
// A 64x64 PNG picture for use as cover art.
std::string make_cover_png(const std::string& dir);
// An executable shell script at `path`.
void write_script(const std::string& path, const std::string& body);

}  // namespace tsup
