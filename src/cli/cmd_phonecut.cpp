// `phonecut`: phone copies of songs cut to their In/Out points.
#include <climits>
#include <cstdio>

#include "audio/phone_cut.h"
#include "cli/commands.h"
#include "core/io_settings.h"
#include "core/points.h"
#include "core/state.h"

static int ms_value(const std::string& v)
{
    long long n = toml_int(v);
    return static_cast<int>(n < INT_MIN ? INT_MIN : n > INT_MAX ? INT_MAX : n);
}

int cmd_phonecut(const CliArgs& args)
{
    IoSettings settings;
    settings.path = io_settings_file();
    io_settings_load(settings);
    int fade_in = settings.phone_fade_in_ms, fade_out = settings.phone_fade_out_ms;
    for (size_t i = 0; i + 1 < args.size(); ++i) {
        if (args[i] == "--fade-in") fade_in = ms_value(args[i + 1]);
        else if (args[i] == "--fade-out") fade_out = ms_value(args[i + 1]);
    }
    IoStore points = io_store_load(io_store_file());
    std::string dir = phone_cut_dir(cli_library().scan_root);

    std::vector<Track> songs = cli_resolve(args);
    bool failed = false;
    for (const Track& t : songs) {
        PhoneCut cut = phone_cut_for(points, t.path, t.duration, fade_in, fade_out, dir);
        std::string copy;
        if (!cut.dir.empty()) {
            copy = phone_cut_file(cut);
            if (copy.empty()) failed = true;
        }
        std::printf("[[song]]\ntitle = \"%s\"\nfull = \"%s\"\ncut = \"%s\"\nin = %.2f\nout = %.2f\n"
                    "fade_in_ms = %d\nfade_out_ms = %d\n\n",
                    io_toml_esc(t.title).c_str(), io_toml_esc(t.path).c_str(), io_toml_esc(copy).c_str(), cut.in,
                    cut.out, cut.fade_in_ms, cut.fade_out_ms);
        std::fflush(stdout);
    }
    return songs.empty() || failed ? 1 : 0;
}
