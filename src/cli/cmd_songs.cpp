// `songs`: list catalog songs as [[song]] records.
#include <cstdio>

#include "cli/commands.h"
#include "core/state.h"

int cmd_songs(const CliArgs& args)
{
    std::vector<Track> songs = args.empty() ? cli_library().tracks : cli_resolve(args);
    std::string out;
    out.reserve(songs.size() * 160);
    for (const Track& t : songs) {
        out += "[[song]]\ntitle = \"";
        out += io_toml_esc(t.title);
        out += "\"\nartist = \"";
        out += io_toml_esc(t.artist);
        out += "\"\npath = \"";
        out += io_toml_esc(t.path);
        out += "\"\n\n";
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return songs.empty() ? 1 : 0;
}
