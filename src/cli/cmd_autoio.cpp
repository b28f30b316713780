// autoio: writes suggested In/Out points, as one undoable history step.
#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "cli/loudness.h"
#include "core/history.h"
#include "core/points.h"

namespace {

bool point_in_set(float v) { return v >= 0; }
bool point_out_set(float v) { return v > 0; }

// One song; true when its points were set.
bool autoio_one(const Track& t, bool replace, const std::string& store_path)
{
    const char* title = t.title.c_str();
    IoStore store = io_store_load(store_path);  // afresh: the player may have saved meanwhile
    IoSaved cur;
    if (auto it = store.find(t.path); it != store.end()) cur = it->second;
    if (!replace && point_in_set(cur.in) && point_out_set(cur.out)) {
        std::printf("kept    %-40s in %.2f out %.2f\n", title, cur.in, cur.out);
        return false;
    }
    double in = 0, out = 0;
    if (!cli_autoio_suggest(t, in, out)) {
        std::printf("no-asr  %-40s (left as is)\n", title);
        return false;
    }
    IoSaved next;
    next.in = replace || !point_in_set(cur.in) ? static_cast<float>(in) : cur.in;
    next.out = replace || !point_out_set(cur.out) ? static_cast<float>(out) : cur.out;
    if (next.out > 0 && next.out <= next.in) {
        std::printf("clash   %-40s kept point vs suggestion\n", title);
        return false;
    }
    store[t.path] = next;
    io_store_save(store, store_path);
    std::printf("set     %-40s in %.2f out %.2f\n", title, next.in, next.out);
    return true;
}

}  // namespace

int cmd_autoio(const CliArgs& args)
{
    bool replace = false;
    for (const std::string& a : args) replace = replace || a == "--replace";
    std::vector<Track> songs = cli_resolve(args);
    if (songs.empty()) {
        std::fprintf(stderr, "no matching songs\n");
        return 1;
    }
    hist_checkpoint();
    std::string store_path = io_store_file();
    int set = 0;
    for (const Track& t : songs) {
        if (autoio_one(t, replace, store_path)) ++set;
        std::fflush(stdout);
    }
    hist_commit(std::string(replace ? "Auto I/O, replace (" : "Auto I/O (") + std::to_string(set) +
                (set == 1 ? " song)" : " songs)"));
    std::printf("\n%d of %zu set \xE2\x80\x94 check them; suggestions miss skits/tags\n", set, songs.size());
    return 0;
}
