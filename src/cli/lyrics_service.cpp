#include "cli/lyrics_service.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "cli/json.h"

extern char** environ;

namespace {
constexpr const char* kLyricsApi = "https://lrclib.net/api/";
constexpr const char* kCurl = "/usr/bin/curl";
}  // namespace

std::string cli_lyrics_api()
{
    const char* v = std::getenv("LUMORA_LYRICS_API");
    return v && *v ? v : kLyricsApi;
}

static std::string read_to_end(int fd)
{
    std::string body;
    char buf[8192];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        body.append(buf, static_cast<size_t>(n));
    }
    return body;
}

std::string cli_http_get(const std::string& url, const CliParams& params)
{
    std::vector<std::string> argv = {kCurl, "-sfL", "--max-time", "20",
                                     "-A", "LumoraMusic (offline player)", "-G"};
    for (const auto& [k, v] : params) {
        argv.push_back("--data-urlencode");
        argv.push_back(k + "=" + v);
    }
    argv.push_back(url);
    std::vector<char*> cargv;
    for (std::string& a : argv) cargv.push_back(a.data());
    cargv.push_back(nullptr);

    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return "";
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_adddup2(&fa, fds[1], 1);
    posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    int rc = ::posix_spawn(&pid, kCurl, &fa, nullptr, cargv.data(), environ);
    posix_spawn_file_actions_destroy(&fa);
    ::close(fds[1]);
    if (rc != 0) {
        ::close(fds[0]);
        return "";
    }
    std::string body = read_to_end(fds[0]);
    ::close(fds[0]);
    int status = 0;
    pid_t w;
    do w = ::waitpid(pid, &status, 0); while (w < 0 && errno == EINTR);
    if (w != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return "";
    return body;
}

std::string cli_lyric_query(const std::string& text, bool is_artist)
{
    std::string out;
    int depth = 0;
    for (char c : text) {
        if (c == '(' || c == '[') {
            ++depth;
            continue;
        }
        if (c == ')' || c == ']') {
            if (depth > 0) --depth;
            continue;
        }
        if (depth > 0) continue;
        if (is_artist && (c == ',' || c == '/')) break;
        out += c == '_' ? ' ' : c;
    }
    size_t end = out.find_last_not_of(' ');
    out.erase(end == std::string::npos ? 0 : end + 1);
    size_t lead = out.find_first_not_of(' ');
    return lead == std::string::npos ? "" : out.substr(lead);
}

static const std::string* synced_of(const JVal& v)
{
    const JVal* s = v.get("syncedLyrics");
    return s && s->is_str() && !s->str.empty() ? &s->str : nullptr;
}

std::string cli_lrclib(const Track& track, std::string& source)
{
    std::string api = cli_lyrics_api();
    JVal exact = json_parse(cli_http_get(api + "get", {{"artist_name", track.artist},
                                                       {"track_name", track.title},
                                                       {"album_name", track.album},
                                                       {"duration", std::to_string(track.duration)}}));
    if (const std::string* s = synced_of(exact)) {
        source = "lrclib";
        return *s;
    }
    JVal found = json_parse(cli_http_get(api + "search",
                                         {{"artist_name", cli_lyric_query(track.artist, true)},
                                          {"track_name", cli_lyric_query(track.title, false)}}));
    const std::string* best = nullptr;
    double best_diff = 0;
    for (const JVal& c : found.items) {
        const std::string* s = synced_of(c);
        const JVal* d = c.get("duration");
        if (!s || !d) continue;
        double diff = std::fabs(d->num - static_cast<double>(track.duration));
        // The margin keeps 205.01 vs 200 (5.0099999... in binary) out, as 5.01 s must be.
        if (diff < 5.01 - 1e-9 && (!best || diff < best_diff)) {
            best = s;
            best_diff = diff;
        }
    }
    if (!best) return "";
    source = "lrclib-search";
    return *best;
}
