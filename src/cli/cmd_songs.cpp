// `songs`: list catalog songs as [[song]] records.
#include <cstdio>

#include "cli/commands.h"
#include "core/state.h"

int cmd_songs(const CliArgs& args)
{
    std::vector<Track> songs = args.empty() ? cli_library().tracks : cli_resolve(args);
    std::string out;
    for (const Track& t : songs) {
        out += "[[song]]\ntitle = \"" + io_toml_esc(t.title) + "\"\nartist = \"" + io_toml_esc(t.artist) +
               "\"\npath = \"" + io_toml_esc(t.path) + "\"\n\n";
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return songs.empty() ? 1 : 0;
}
