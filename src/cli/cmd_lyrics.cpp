// lyrics: a synced .lrc beside each song, from the service or from speech.
#include <cstdio>
#include <string>
#include <sys/stat.h>

#include "cli/asr.h"
#include "cli/asr_lrc.h"
#include "cli/commands.h"
#include "cli/lyrics_service.h"
#include "core/state.h"

namespace {

bool has_arg(const CliArgs& args, const char* word)
{
    for (const std::string& a : args)
        if (a == word) return true;
    return false;
}

// Where the song's lyrics came from; writes the .lrc when something was found.
std::string lyrics_for(const Track& t, bool replace)
{
    std::string lrc_path = path_without_ext(t.path) + ".lrc";
    struct stat st {};
    if (!replace && ::stat(lrc_path.c_str(), &st) == 0) return "existing";
    std::string source;
    std::string text = cli_lrclib(t, source);
    if (text.empty()) {
        std::string json = cli_asr_json(t.path);
        text = json.empty() ? "" : cli_asr_lrc(json);
        source = text.empty() ? "none" : "asr";
    }
    if (!text.empty()) state_write(lrc_path, text);
    return source;
}

}  // namespace

int cmd_lyrics(const CliArgs& args)
{
    bool replace = has_arg(args, "--replace");
    std::vector<Track> songs = has_arg(args, "--missing") ? cli_library().tracks : cli_resolve(args);
    bool any_none = false;
    for (const Track& t : songs) {
        std::string source = lyrics_for(t, replace);
        any_none = any_none || source == "none";
        std::printf("[[song]]\ntitle = \"%s\"\npath = \"%s\"\nsource = \"%s\"\n\n",
                    io_toml_esc(t.title).c_str(), io_toml_esc(t.path).c_str(), source.c_str());
        std::fflush(stdout);
    }
    return songs.empty() || any_none ? 1 : 0;
}
