// The command table of lumora-music-cli and the handlers it dispatches to.
#pragma once
#include "cli/cli.h"

using CliHandler = int (*)(const CliArgs&);

struct CliCommand {
    const char* word;
    CliHandler handler;
};

// The dispatch table in comparison order.
const std::vector<CliCommand>& cli_commands();
// Runs the command named by argv[1]; returns the exit status.
int cli_main(int argc, char** argv);

int cmd_songs(const CliArgs& args);
int cmd_points(const CliArgs& args);
int cmd_set(const CliArgs& args);
int cmd_analyze(const CliArgs& args);
int cmd_organize(const CliArgs& args);
int cmd_relocate(const CliArgs& args);
int cmd_download(const CliArgs& args);
int cmd_autoio(const CliArgs& args);
int cmd_undo(const CliArgs& args);
int cmd_redo(const CliArgs& args);
int cmd_history(const CliArgs& args);
int cmd_backup(const CliArgs& args);
int cmd_backups(const CliArgs& args);
int cmd_restore(const CliArgs& args);
int cmd_lyrics(const CliArgs& args);
int cmd_phonecut(const CliArgs& args);
int cmd_chords(const CliArgs& args);
