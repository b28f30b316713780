// `points` and `set`: show and write songs' In/Out points.
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <optional>

#include "cli/commands.h"
#include "core/history.h"
#include "core/history_locked.h"
#include "core/points.h"
#include "core/state.h"

int cmd_points(const CliArgs& args)
{
    IoStore store = io_store_load(io_store_file());
    std::vector<Track> songs = cli_resolve(args);
    for (const Track& t : songs) {
        IoSaved p;
        if (auto it = store.find(t.path); it != store.end()) p = it->second;
        std::printf("[[song]]\ntitle = \"%s\"\nin = %.2f\nout = %.2f\n\n", io_toml_esc(t.title).c_str(),
                    p.in, p.out);
    }
    return songs.empty() ? 1 : 0;
}

// "-" clears (-1); anything else is a lenient number ("abc" reads as 0).
static float set_value(const std::string& v)
{
    if (v == "-") return -1.0f;
    double d = toml_num(v);
    return std::isfinite(d) && std::fabs(d) <= FLT_MAX ? static_cast<float>(d) : 0.0f;
}

int cmd_set(const CliArgs& args)
{
    std::optional<float> new_in, new_out;
    for (size_t i = 0; i + 1 < args.size(); ++i) {
        if (args[i] == "--in") new_in = set_value(args[i + 1]);
        else if (args[i] == "--out") new_out = set_value(args[i + 1]);
    }
    if (!new_in && !new_out) return cli_usage();

    // The whole load-change-save runs under the history lock, so concurrent
    // set commands (or an undo in the player) cannot interleave and lose a
    // change between our read and our write.
    HistLock lock;
    hist_checkpoint_locked();
    std::string path = io_store_file();
    IoStore store = io_store_load(path);
    std::vector<Track> songs = cli_resolve(args);
    for (const Track& t : songs) {
        IoSaved& p = store[t.path];
        if (new_in) p.in = *new_in;
        if (new_out) p.out = *new_out;
        IoSaved now = p;
        if (now.in >= 0 && now.out > 0 && now.in >= now.out) {
            std::fprintf(stderr, "skip %s: In %.2f >= Out %.2f\n", t.title.c_str(), now.in, now.out);
            return 1;
        }
        if (now.in < 0 && now.out <= 0) store.erase(t.path);
        std::printf("set %-40s in %.2f out %.2f\n", t.title.c_str(), now.in, now.out);
    }
    if (songs.empty()) {
        std::fprintf(stderr, "no matching songs\n");
        return 1;
    }
    if (!io_store_save(store, path)) return 1;
    size_t n = songs.size();
    hist_commit_locked("Set I/O (" + std::to_string(n) + (n == 1 ? " song)" : " songs)"));
    return 0;
}
