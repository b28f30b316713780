// Dated backups of the five state files that hold the user's work
// (~/.lumoramusic/backups/YYYY/MM/DD/HHMMSS[-N][-slug]/).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct BackupInfo {
    std::string id;     // name relative to backups/
    std::string label;
    int64_t time = 0;   // Unix seconds from meta.toml
    int songs = 0;      // [[song]] tables in the backup's io_points.toml
};

// The backed-up state files, in order.
const std::vector<std::string>& backup_files();
// The label with every non-alphanumeric ASCII character turned into '-'.
std::string backup_slug(const std::string& label);
// A new backup; its name, or "" on failure.
std::string backup_create(const std::string& label);
// A "daily" backup unless today's folder already exists.
void backup_daily();
// Every backup (folders holding meta.toml), newest first.
std::vector<BackupInfo> backup_list();
// Puts a backup back (only io_points.toml when points_only) after a safety
// "before-restore" backup; the points change is one history step.
bool backup_restore(const std::string& name, bool points_only);
