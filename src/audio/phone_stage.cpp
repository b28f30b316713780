// Dated staging folders for sharing a set of files at once.
#include <ctime>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "audio/phone_cut.h"
#include "core/file_names.h"
#include "core/state.h"

static std::string local_time(const char* fmt, std::time_t t)
{
    std::tm tm {};
    localtime_r(&t, &tm);
    char buf[128];
    std::strftime(buf, sizeof buf, fmt, &tm);
    return buf;
}

std::string phone_stage_folder(const std::vector<std::string>& paths, const std::string& base)
{
    std::time_t now = std::time(nullptr);
    std::string folder = base + "/AirDrop/" + local_time("%Y/%m/%d/%H%M%S", now) + "/" +
                         local_time("Lumora Music %Y-%m-%d %H%M", now);
    if (!state_mkdirs(folder)) return "";
    int staged = 0;
    for (const std::string& p : paths) {
        std::string target = folder + "/" + io_file_name(p);
        struct stat st {};
        if (::lstat(target.c_str(), &st) == 0) continue;
        // A hard link costs nothing; across volumes it fails and we copy.
        if (::link(p.c_str(), target.c_str()) == 0) {
            ++staged;
            continue;
        }
        std::error_code ec;
        if (std::filesystem::copy_file(p, target, ec)) ++staged;
    }
    return staged > 0 ? folder : "";
}
