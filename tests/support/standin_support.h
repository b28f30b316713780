// Stand-ins for the outside programs the tool starts (the speech recogniser,
// spotdl) and a local lyrics service, plus catalog fixtures.
#pragma once
#include <string>
#include <vector>

#include "core/library.h"
#include "support/support.h"

namespace tsup {

// A folder of executable stand-in scripts, meant to go first on PATH.
class FakeBin {
public:
    explicit FakeBin(const std::string& dir);
    // Writes an executable script `name` with this body.
    void add(const std::string& name, const std::string& script) const;
    // "dir:$PATH".
    std::string path_env() const;
    const std::string& dir() const { return dir_; }

private:
    std::string dir_;
};

// A recogniser stand-in: copies $FAKE_ASR_JSON to <output-dir>/<stem>.json and
// appends its arguments and HF_HUB_OFFLINE to $FAKE_ASR_LOG; exits 1 when
// $FAKE_ASR_FAIL is set.
std::string fake_asr_script();
// A spotdl stand-in: copies $FAKE_SPOTDL_SRC to the output template filled with
// Artist/Album/Title from $FAKE_SPOTDL_NAME ("Artist|Album|Title"), and writes
// its arguments one per line to $FAKE_SPOTDL_LOG.
std::string fake_spotdl_script();

// Recogniser JSON: one sentence per entry, each with its word tokens.
struct FakeWord {
    std::string text;  // with its leading space when it starts a word
    double start, end;
};
std::string asr_json(const std::vector<std::vector<FakeWord>>& sentences);

// Saves a catalog for HOME=home with these tracks and scan root.
void write_catalog(const std::string& home, const std::vector<Track>& tracks,
                   const std::string& scan_root, const std::vector<Playlist>& playlists = {});
// Loads the catalog of HOME=home.
Library read_catalog(const std::string& home);

// A local HTTP server answering like the synced-lyrics service. Each request
// is answered from the JSON file routes(): {"get": {"status": 200, "body":
// "...", "delay": 0}, "search": {...}}; every request is appended to log() as
// one JSON line {"path": "/api/get", "query": {...}}.
class LyricsServer {
public:
    explicit LyricsServer(const std::string& dir);
    ~LyricsServer();
    LyricsServer(const LyricsServer&) = delete;
    LyricsServer& operator=(const LyricsServer&) = delete;
    // "http://127.0.0.1:PORT/api/".
    std::string api() const;
    void set_routes(const std::string& json) const;
    std::string log() const;
    std::vector<std::string> log_lines() const;

private:
    std::string dir_;
    int port_ = 0;
    int pid_ = -1;
};

}  // namespace tsup
