// `backup`, `backups` and `restore`: dated copies of the state files.
#include <cstdio>
#include <ctime>

#include "cli/commands.h"
#include "core/backup.h"

int cmd_backup(const CliArgs& args)
{
    std::string label;
    for (size_t i = 0; i < args.size(); ++i) label += (i ? " " : "") + args[i];
    if (label.empty()) label = "manual";
    std::string name = backup_create(label);
    if (name.empty()) {
        std::fprintf(stderr, "backup failed\n");
        return 1;
    }
    std::printf("backup %s\n", name.c_str());
    return 0;
}

int cmd_backups(const CliArgs&)
{
    std::vector<BackupInfo> list = backup_list();
    for (const BackupInfo& b : list) {
        std::time_t t = static_cast<std::time_t>(b.time);
        std::tm tm {};
        localtime_r(&t, &tm);
        char when[32];
        std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S", &tm);
        std::printf("%-40s  %s  %3d songs w/ points  %s\n", b.id.c_str(), when, b.songs, b.label.c_str());
    }
    if (list.empty()) std::printf("no backups\n");
    return 0;
}

int cmd_restore(const CliArgs& args)
{
    bool points_only = false;
    std::string name;
    for (const std::string& a : args) {
        if (a == "--points-only") points_only = true;
        else name = a;
    }
    if (name.empty()) return cli_usage();
    if (!points_only && cli_app_running()) {
        std::fprintf(stderr, "Lumora Music is open: use its Backups menu, quit it, or add --points-only\n");
        return 1;
    }
    if (!backup_restore(name, points_only)) {
        std::fprintf(stderr, "restore failed: %s\n", name.c_str());
        return 1;
    }
    std::printf("restored %s%s (previous state saved as a before-restore backup; undo reverts points)\n",
                name.c_str(), points_only ? " (points only)" : "");
    return 0;
}
