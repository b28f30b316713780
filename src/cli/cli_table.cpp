#include <cstdio>
#include <cstring>

#include "cli/commands.h"

// The command words, compared in this order, case-sensitively.
const std::vector<CliCommand>& cli_commands()
{
    static const std::vector<CliCommand> table = {
        {"songs", cmd_songs},
        {"points", cmd_points},
        {"set", cmd_set},
        {"analyze", cmd_analyze},
        {"organize", cmd_organize},
        {"relocate", cmd_relocate},
        {"download", cmd_download},
        {"autoio", cmd_autoio},
        {"undo", cmd_undo},
        {"redo", cmd_redo},
        {"history", cmd_history},
        {"backup", cmd_backup},
        {"backups", cmd_backups},
        {"restore", cmd_restore},
        {"lyrics", cmd_lyrics},
        {"phonecut", cmd_phonecut},
        {"chords", cmd_chords},
    };
    return table;
}

int cli_main(int argc, char** argv)
{
    if (argc < 2) return cli_usage();
    CliArgs args(argv + 2, argv + argc);
    for (const CliCommand& c : cli_commands())
        if (std::strcmp(argv[1], c.word) == 0) return c.handler(args);
    return cli_usage();
}
