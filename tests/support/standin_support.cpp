#include "support/standin_support.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <thread>

extern char** environ;

namespace tsup {

FakeBin::FakeBin(const std::string& dir) : dir_(dir)
{
    ::mkdir(dir_.c_str(), 0755);
}

void FakeBin::add(const std::string& name, const std::string& script) const
{
    std::string p = dir_ + "/" + name;
    write_file(p, script);
    ::chmod(p.c_str(), 0755);
}

std::string FakeBin::path_env() const
{
    const char* p = std::getenv("PATH");
    return dir_ + ":" + (p ? p : "/usr/bin:/bin");
}

std::string fake_asr_script()
{
    return R"SH(#!/bin/sh
[ -n "$FAKE_ASR_LOG" ] && echo "HF_HUB_OFFLINE=$HF_HUB_OFFLINE $*" >> "$FAKE_ASR_LOG"
[ -n "$FAKE_ASR_FAIL" ] && exit 1
dir=""
while [ $# -gt 1 ]; do
  if [ "$1" = "--output-dir" ]; then shift; dir="$1"; fi
  shift
done
case "$1" in -*) echo "unknown option $1" >&2; exit 2;; esac
name=$(basename -- "$1")
cp -- "$FAKE_ASR_JSON" "$dir/${name%.*}.json"
)SH";
}

std::string fake_spotdl_script()
{
    return R"SH(#!/bin/sh
[ -n "$FAKE_SPOTDL_LOG" ] && printf '%s\n' "$@" > "$FAKE_SPOTDL_LOG"
[ -z "$FAKE_SPOTDL_SRC" ] && exit 1
tmpl="$4"
artist=$(echo "$FAKE_SPOTDL_NAME" | cut -d'|' -f1)
album=$(echo "$FAKE_SPOTDL_NAME" | cut -d'|' -f2)
title=$(echo "$FAKE_SPOTDL_NAME" | cut -d'|' -f3)
out=$(printf '%s' "$tmpl" | sed "s|{artists}|$artist|; s|{artist}|$artist|; s|{album}|$album|; s|{title}|$title|; s|{output-ext}|mp3|")
mkdir -p "$(dirname -- "$out")"
cp -- "$FAKE_SPOTDL_SRC" "$out"
)SH";
}

static std::string json_str(const std::string& s)
{
    std::string o = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') o += '\\';
        o += c;
    }
    return o + "\"";
}

std::string asr_json(const std::vector<std::vector<FakeWord>>& sentences)
{
    std::ostringstream o;
    o << "{\"text\": \"all\", \"sentences\": [";
    for (size_t i = 0; i < sentences.size(); ++i) {
        const auto& words = sentences[i];
        std::string text;
        for (const FakeWord& w : words) text += w.text;
        o << (i ? ", " : "") << "{\"text\": " << json_str(text) << ", \"start\": "
          << (words.empty() ? 0 : words.front().start) << ", \"end\": "
          << (words.empty() ? 0 : words.back().end) << ", \"tokens\": [";
        for (size_t k = 0; k < words.size(); ++k)
            o << (k ? ", " : "") << "{\"text\": " << json_str(words[k].text)
              << ", \"start\": " << words[k].start << ", \"end\": " << words[k].end << "}";
        o << "]}";
    }
    o << "]}";
    return o.str();
}

void write_catalog(const std::string& home, const std::vector<Track>& tracks,
                   const std::string& scan_root, const std::vector<Playlist>& playlists)
{
    Library lib;
    lib.catalog_path = home + "/.lumoramusic/library.toml";
    lib.tracks = tracks;
    lib.playlists = playlists;
    lib.scan_root = scan_root;
    ::mkdir((home + "/.lumoramusic").c_str(), 0755);
    ASSERT_TRUE(lib.save_catalog());
}

Library read_catalog(const std::string& home)
{
    Library lib;
    lib.catalog_path = home + "/.lumoramusic/library.toml";
    lib.load_catalog();
    return lib;
}

static const char* kServer = R"PY(import http.server, json, os, sys, time, urllib.parse
port_file, routes_file, log_file = sys.argv[1:4]
class H(http.server.BaseHTTPRequestHandler):
    def log_message(self, *a): pass
    def do_GET(self):
        u = urllib.parse.urlparse(self.path)
        q = {k: v[0] for k, v in urllib.parse.parse_qs(u.query, keep_blank_values=True).items()}
        with open(log_file, "a") as f:
            f.write(json.dumps({"path": u.path, "query": q, "agent": self.headers.get("User-Agent")}) + "\n")
        try:
            routes = json.loads(open(routes_file).read(), strict=False)
        except Exception:
            routes = {}
        r = routes.get(u.path.rsplit("/", 1)[-1], {"status": 404, "body": ""})
        time.sleep(r.get("delay", 0))
        body = r.get("body", "").encode()
        self.send_response(r.get("status", 200))
        self.send_header("Content-Type", "application/json")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)
s = http.server.ThreadingHTTPServer(("127.0.0.1", 0), H)
with open(port_file + ".tmp", "w") as f: f.write(str(s.server_address[1]))
os.rename(port_file + ".tmp", port_file)
s.serve_forever()
)PY";

LyricsServer::LyricsServer(const std::string& dir) : dir_(dir)
{
    write_file(dir_ + "/server.py", kServer);
    write_file(dir_ + "/routes.json", "{}");
    write_file(dir_ + "/requests.log", "");
    std::vector<std::string> args = {"python3", dir_ + "/server.py", dir_ + "/port",
                                     dir_ + "/routes.json", dir_ + "/requests.log"};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (::posix_spawnp(&pid, "python3", nullptr, nullptr, argv.data(), environ) != 0) {
        ADD_FAILURE() << "python3 did not start";
        return;
    }
    pid_ = pid;
    for (int i = 0; i < 200 && !exists(dir_ + "/port"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    if (!exists(dir_ + "/port")) {
        ADD_FAILURE() << "lyrics server did not come up";
        return;
    }
    port_ = std::atoi(read_file(dir_ + "/port").c_str());
}

LyricsServer::~LyricsServer()
{
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        int st = 0;
        ::waitpid(pid_, &st, 0);
    }
}

std::string LyricsServer::api() const
{
    return "http://127.0.0.1:" + std::to_string(port_) + "/api/";
}

void LyricsServer::set_routes(const std::string& json) const
{
    write_file(dir_ + "/routes.json.tmp", json);
    std::rename((dir_ + "/routes.json.tmp").c_str(), (dir_ + "/routes.json").c_str());
}

std::string LyricsServer::log() const
{
    return read_file(dir_ + "/requests.log");
}

std::vector<std::string> LyricsServer::log_lines() const
{
    std::vector<std::string> out;
    std::istringstream in(log());
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) out.push_back(line);
    return out;
}

}  // namespace tsup
