// organize: files loose songs of the scan root into Artist/Album/ folders, or
// undoes such a run from its journal.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "cli/commands.h"
#include "cli/org.h"

namespace {

void print_moves(const std::string& root, const std::vector<Move>& moves)
{
    for (const Move& m : moves)
        std::printf("%s %s\n    -> %s\n", m.file ? "move  " : "record", org_show(root, m.from).c_str(),
                    org_show(root, m.to).c_str());
}

}  // namespace

int cmd_organize(const CliArgs& args)
{
    bool apply = false;
    std::string undo;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--apply") apply = true;
        else if (args[i] == "--undo" && i + 1 < args.size()) undo = args[i + 1];
    }
    Library lib = cli_library();
    bool undoing = !undo.empty();
    std::vector<Move> moves = undoing ? org_journal_read(undo, true) : org_plan(lib);
    print_moves(lib.scan_root, moves);
    std::printf("\n%zu planned (%s)\n", moves.size(),
                apply || undoing ? "applying" : "dry run: add --apply");
    if (!apply && !undoing) return 0;
    std::fflush(stdout);
    if (cli_app_running()) {
        std::fprintf(stderr, "Quit Lumora Music first (it would overwrite the catalog).\n");
        return 1;
    }
    OrgJournal journal;
    // No journal, no undo: then nothing moves at all.
    if (!undoing && !journal.open()) {
        std::fprintf(stderr, "cannot write the organize journal %s: %s\n", journal.path.c_str(),
                     std::strerror(errno));
        return 1;
    }
    std::vector<Move> done = org_move_files(moves, undoing ? nullptr : &journal);
    journal.discard_if_empty();
    org_remap(lib, done);
    org_drop_sources(done);
    std::printf("moved %zu of %zu\n", done.size(), moves.size());
    if (!undoing && !done.empty() && !journal.path.empty())
        std::printf("undo: lumora-music-cli organize --undo %s\n", journal.path.c_str());
    return done.size() == moves.size() ? 0 : 1;
}
