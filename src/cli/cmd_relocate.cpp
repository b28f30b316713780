// relocate: copies the library to another folder (typically another drive) and
// repoints the records there; the source files stay.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "cli/org.h"

namespace {

// Relative targets are made absolute: the records must name the copies from
// wherever the player or the tool runs later.
std::string reloc_dir(std::string dir)
{
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    if (!dir.empty() && dir[0] != '/') {
        char cwd[4096];
        if (::getcwd(cwd, sizeof cwd)) dir = std::string(cwd) + (dir == "." ? "" : "/" + dir);
    }
    return dir;
}

}  // namespace

int cmd_relocate(const CliArgs& args)
{
    bool apply = false;
    std::string dir;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--apply") apply = true;
        else if (args[i] == "--to" && i + 1 < args.size()) dir = args[i + 1];
    }
    if (dir.empty()) return cli_usage();
    dir = reloc_dir(dir);
    Library lib = cli_library();
    if (lib.scan_root.empty()) {
        std::fprintf(stderr, "library has no scan_root\n");
        return 1;
    }
    std::vector<Move> moves = reloc_plan(lib, dir);
    for (const Move& m : moves)
        std::printf("%s %s\n    -> %s\n", m.file ? "copy  " : "record", m.from.c_str(), m.to.c_str());
    std::printf("\n%zu planned (%s)\n", moves.size(), apply ? "applying" : "dry run: add --apply");
    if (!apply) return 0;
    std::fflush(stdout);
    if (cli_app_running()) {
        std::fprintf(stderr, "Quit Lumora Music first (it would overwrite the catalog).\n");
        return 1;
    }
    std::vector<Move> done = reloc_copy_files(moves);
    if (done.size() < moves.size()) {
        std::fprintf(stderr, "copied %zu of %zu \xE2\x80\x94 library NOT repointed; fix and re-run\n",
                     done.size(), moves.size());
        return 1;
    }
    lib.scan_root = dir;
    org_remap(lib, done);
    std::string journal = org_journal_write(done);
    std::printf("copied %zu; library now at %s\noriginals listed in %s\n", done.size(), dir.c_str(),
                journal.c_str());
    return 0;
}
