// The spine of lumora-music-cli: state locations, song resolution, the
// running-player check and child processes.
#pragma once
#include <string>
#include <vector>

#include "core/library.h"

using CliArgs = std::vector<std::string>;

// Writes the usage text to standard error; returns 2.
int cli_usage();
// "$HOME/.lumoramusic" ("." for an unset HOME), created if missing.
std::string cli_home();
// The catalog, loaded from cli_home()/library.toml; never scans folders.
Library cli_library();
// Turns command arguments (flags included) into songs: paths, --artist NAME,
// and title words matched against title, artist and album.
std::vector<Track> cli_resolve(const CliArgs& args);
// Lower-cases ASCII and turns underscores into spaces.
std::string cli_norm(const std::string& s);
// True when a process named exactly like the player runs (pgrep -x).
bool cli_app_running();
// Runs a program found on PATH, waits; true only for a normal exit with status 0.
bool cli_spawn(const std::vector<std::string>& argv, bool quiet);
