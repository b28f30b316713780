// Shared test fixtures: temporary folders, environment overrides, running the
// real programs, and generated audio.
#pragma once
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tsup {

// A fresh folder under $TMPDIR (or /tmp), removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& rel) const { return path_ + "/" + rel; }

private:
    std::string path_;
};

// Sets (or with nullopt unsets) an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const std::string& name, std::optional<std::string> value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    std::optional<std::string> old_;
};

struct RunResult {
    int status = -1;  // exit status, or -1 when killed or not started
    std::string out;
    std::string err;
};

struct RunOptions {
    std::map<std::string, std::string> env;  // added to / overriding the current environment
    std::vector<std::string> unset;          // removed from the environment
    std::string cwd;                         // empty = current folder
    std::string input;                       // standard input
    int timeout_s = 120;                     // killed after this long
};

// Runs a program (looked up on PATH) without a shell and captures its output.
RunResult run(const std::vector<std::string>& argv, const RunOptions& opts = {});
// Runs lumora-music-cli with HOME set to `home` (and XDG_DATA_HOME inside it);
// the running-player check looks for "lumora-no-player" unless opts.env names one.
RunResult run_cli(const std::string& home, const std::vector<std::string>& args,
                  RunOptions opts = {});

// Creates parent folders and writes the bytes.
void write_file(const std::string& path, const std::string& bytes);
std::string read_file(const std::string& path);
bool exists(const std::string& path);

// Generates audio through ffmpeg's lavfi sine source; `extra` goes before the
// output path (codec options, -metadata pairs). Fails the test on error.
void make_tone(const std::string& path, double seconds, int freq = 440,
               const std::vector<std::string>& extra = {});
// Decoded length in seconds as ffprobe reports it (-1 when unreadable).
double probe_seconds(const std::string& path);

// A minimal ID3v2.3 tag with the given text frames (Latin-1), e.g. {{"TIT2","Song"}}.
std::string id3v2_tag(const std::vector<std::pair<std::string, std::string>>& frames,
                      int version = 3);
// A 128-byte ID3v1 tag.
std::string id3v1_tag(const std::string& title, const std::string& artist,
                      const std::string& album, const std::string& year);

}  // namespace tsup
