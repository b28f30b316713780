// First-scan speed: 1000 tagged 3.5-minute MP3s in Artist/Album folders, each
// with its own ID3v2 tag. Times Library::scan_folder (files per second) and
// the per-file pieces it is made of: tags, length, track_from_file.
//
//   bench_scan [--keep DIR]   reuse (or create once) the files in DIR
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/duration.h"
#include "core/library.h"
#include "core/tags.h"
#include "support/support.h"
#include "support/tags_support.h"

namespace fs = std::filesystem;

namespace {

constexpr int kFiles = 1000;
constexpr int kRuns = 5;

double now_s()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

std::string text(const std::string& s)
{
    return std::string(1, '\0') + s;
}

std::string song_path(const std::string& root, int i)
{
    return root + "/Artist " + std::to_string(i / 20) + "/Album " + std::to_string(i / 10) + "/" +
           std::to_string(i % 10 + 1) + " Song " + std::to_string(i) + ".mp3";
}

// One MP3 made by ffmpeg, then copies each with its own tag in front.
bool make_library(const std::string& root)
{
    if (tsup::exists(root + "/.complete")) return true;
    fs::create_directories(root);
    std::string audio_path = root + "/source.tmp";
    tsup::RunResult r = tsup::run({"ffmpeg", "-nostdin", "-v", "error", "-y", "-f", "lavfi", "-i",
                                   "sine=frequency=330:sample_rate=44100:duration=210", "-ac", "2", "-b:a",
                                   "128k", "-id3v2_version", "0", "-f", "mp3", audio_path});
    if (r.status != 0) {
        std::fprintf(stderr, "ffmpeg failed: %s\n", r.err.c_str());
        return false;
    }
    const std::string audio = tsup::read_file(audio_path);
    fs::remove(audio_path);
    for (int i = 0; i < kFiles; ++i) {
        std::string frames = tsup::id3_frame("TIT2", text("Song " + std::to_string(i)), 4) +
                             tsup::id3_frame("TPE1", text("Artist " + std::to_string(i / 20)), 4) +
                             tsup::id3_frame("TALB", text("Album " + std::to_string(i / 10)), 4) +
                             tsup::id3_frame("TCON", text("Rock"), 4) +
                             tsup::id3_frame("TRCK", text(std::to_string(i % 10 + 1) + "/10"), 4);
        tsup::write_file(song_path(root, i), tsup::id3_tag(frames + std::string(1024, '\0'), 4) + audio);
    }
    tsup::write_file(root + "/.complete", "");
    return true;
}

template <class F>
double per_file_ms(const std::string& root, F fn)
{
    std::vector<double> ms;
    for (int i = 0; i < kFiles; ++i) {
        std::string p = song_path(root, i);
        double t0 = now_s();
        fn(p);
        ms.push_back((now_s() - t0) * 1000);
    }
    return median(ms);
}

}  // namespace

int main(int argc, char** argv)
{
    std::string keep = argc == 3 && std::string(argv[1]) == "--keep" ? argv[2] : "";
    tsup::TempDir tmp;
    std::string root = keep.empty() ? tmp / "Music" : keep;
    double t0 = now_s();
    if (!make_library(root)) return 1;
    std::printf("library of %d files ready in %.1f s\n", kFiles, now_s() - t0);

    std::vector<double> rates;
    size_t with_duration = 0;
    for (int run = 0; run < kRuns; ++run) {
        Library lib;
        double s = now_s();
        lib.scan_folder(root);
        double secs = now_s() - s;
        rates.push_back(static_cast<double>(lib.tracks.size()) / secs);
        with_duration = std::count_if(lib.tracks.begin(), lib.tracks.end(),
                                      [](const Track& t) { return t.duration == 210 && !t.artist.empty(); });
        std::printf("scan %d: %zu tracks in %.3f s\n", run + 1, lib.tracks.size(), secs);
    }
    std::printf("scan_folder: median %.0f files/s (%zu of %d with tags and 210 s)\n", median(rates),
                with_duration, kFiles);

    double tags = per_file_ms(root, [](const std::string& p) {
        Track t;
        t.path = p;
        read_song_tags(t);
    });
    double dur = per_file_ms(root, [](const std::string& p) { (void)estimate_mp3_duration(p); });
    double whole = per_file_ms(root, [](const std::string& p) { (void)track_from_file(p); });
    std::printf("per file, one thread, median: tags %.3f ms, length %.3f ms, track_from_file %.3f ms\n", tags, dur,
                whole);
    return 0;
}
