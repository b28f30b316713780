// State locations, song resolution, the running-player check and child
// processes for lumora-music-cli.
#include "cli/cli.h"

#include "core/state.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

const char kUsage[] =
    "lumora-music-cli \xE2\x80\x94 Lumora Music from the terminal\n"
    "\n"
    "  songs   [SONG...]               list matching library songs\n"
    "  points  SONG...                 show saved In / Out\n"
    "  set     SONG... [--in S|-] [--out S|-]   write In / Out (- = clear)\n"
    "  organize [--apply | --undo JOURNAL]  file loose songs into Artist/Album/\n"
    "  relocate --to DIR [--apply]       copy library to DIR (other drive) + repoint records\n"
    "  download QUERY...                 spotdl song name / Spotify URL into library\n"
    "  autoio  SONG... [--replace]       heuristic In/Out (unset only; --replace = all)\n"
    "  undo | redo | history             step through I/O-points history (app Cmd+Z / Cmd+Shift+Z)\n"
    "  backup [LABEL]                    snapshot all app data (points, library, playlists, trash)\n"
    "  backups                           list backups, newest first\n"
    "  restore ID [--points-only]        put a backup back (current state backed up first)\n"
    "  lyrics  SONG... | --missing [--replace]  synced .lrc: lrclib, else offline ASR\n"
    "  chords  SONG... [--import F.cho] [--add T=NAME] [--del T] [--clear] [--key K] [--bpm N] [--detect]\n"
    "  chords  --missing                 detect chords for every song without them (~0.5 s each)\n"
    "          [--meter N] [--downbeat T|-] [--section T=NAME]   bars grid: beats/bar, where bar 1 starts, parts\n"
    "                                    show / edit <stem>.chords.toml (flags after SONG; 1 song to edit)\n"
    "  phonecut SONG... [--fade-in MS] [--fade-out MS]  phone copy cut to I/O + fades\n"
    "  analyze SONG... [--secs N] [--tail N]  speech head/tail + loudness + suggested In/Out\n"
    "\n"
    "SONG = file path, --artist NAME, or title words (case-insensitive).\n"
    "Writes ~/.lumoramusic/io_points.toml; a running app picks it up live.\n";

bool path_exists(const std::string& p)
{
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0;
}

Track fresh_track(const std::string& path)
{
    Track t;
    t.path = path;
    t.title = path_stem(path);
    return t;
}

}  // namespace

int cli_usage()
{
    std::fputs(kUsage, stderr);
    return 2;
}

std::string cli_home()
{
    return state_home();
}

Library cli_library()
{
    Library lib;
    lib.catalog_path = default_catalog();
    lib.load_catalog();
    return lib;
}

std::string cli_norm(const std::string& s)
{
    std::string out = s;
    for (char& c : out) {
        if (c == '_') c = ' ';
        else if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

std::vector<Track> cli_resolve(const CliArgs& args)
{
    std::vector<Track> result;
    if (args.empty()) return result;
    Library lib = cli_library();
    std::vector<std::string> words;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.rfind("--", 0) == 0) {
            if (a == "--artist" && i + 1 < args.size()) {
                std::string want = cli_norm(args[++i]);
                for (const Track& t : lib.tracks)
                    if (cli_norm(t.artist) == want) result.push_back(t);
                continue;
            }
            if (a != "--artist") {
                ++i;  // a command flag and its value stay out of resolution
                continue;
            }
        }
        if (path_exists(a)) {
            int idx = lib.find_path(a);
            result.push_back(idx >= 0 ? lib.tracks[idx] : fresh_track(a));
            continue;
        }
        words.push_back(cli_norm(a));
    }
    if (words.empty()) return result;
    for (const Track& t : lib.tracks) {
        std::string hay = cli_norm(t.title + " " + t.artist + " " + t.album);
        bool all = true;
        for (const std::string& w : words)
            if (hay.find(w) == std::string::npos) {
                all = false;
                break;
            }
        if (all) result.push_back(t);
    }
    return result;
}

bool cli_spawn(const std::vector<std::string>& argv, bool quiet)
{
    if (argv.empty()) return false;
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    if (quiet) {
        posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
    }
    pid_t pid = -1;
    int rc = posix_spawnp(&pid, args[0], &fa, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&fa);
    if (rc != 0) return false;
    int status = 0;
    pid_t w;
    while ((w = ::waitpid(pid, &status, 0)) < 0 && errno == EINTR) {}
    if (w < 0) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool cli_app_running()
{
    const char* name = std::getenv("LUMORA_MUSIC_APP_PROC");
    return cli_spawn({"pgrep", "-x", name ? name : "lumora-music"}, true);
}
