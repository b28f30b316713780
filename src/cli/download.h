// Helpers of the download command.
#pragma once
#include <ctime>
#include <string>
#include <vector>

// Puts per-user downloader installs (~/Library/Python/*/bin, ~/.local/bin)
// in front of PATH.
void cli_spotdl_path();
// Audio files below root modified at or after `since`, in walk order.
std::vector<std::string> cli_new_audio(const std::string& root, time_t since);
