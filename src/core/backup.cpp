#include "core/backup.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <filesystem>
#include <sys/stat.h>

#include "core/history.h"
#include "core/state.h"

namespace fs = std::filesystem;

const std::vector<std::string>& backup_files()
{
    static const std::vector<std::string> files = {"io_points.toml", "library.toml", "originals.toml",
                                                   "trash.toml", "io_settings.toml"};
    return files;
}

std::string backup_slug(const std::string& label)
{
    std::string slug = label;
    for (char& c : slug) {
        bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!alnum) c = '-';
    }
    return slug;
}

static std::string backups_dir()
{
    return state_home() + "/backups";
}

static std::string local_time(const char* fmt, std::time_t t)
{
    std::tm tm {};
    localtime_r(&t, &tm);
    char buf[64];
    std::strftime(buf, sizeof buf, fmt, &tm);
    return buf;
}

// Claims the first free name by creating its folder: mkdir is atomic, so two
// programs backing up in the same second can never share a folder.
static std::string claim_name(std::time_t now, const std::string& label)
{
    std::string date = local_time("%Y/%m/%d", now);
    std::string time = local_time("%H%M%S", now);
    std::string slug = label.empty() ? "" : "-" + backup_slug(label);
    std::string day = backups_dir() + "/" + date;
    if (!state_mkdirs(day)) return "";
    for (int n = 1; n < 100000; ++n) {
        std::string leaf = time + (n > 1 ? "-" + std::to_string(n) : "") + slug;
        if (::mkdir((day + "/" + leaf).c_str(), 0755) == 0) return date + "/" + leaf;
        if (errno != EEXIST) return "";
    }
    return "";
}

std::string backup_create(const std::string& label)
{
    std::string name = claim_name(std::time(nullptr), label);
    if (name.empty()) return "";
    std::string dir = backups_dir() + "/" + name;
    for (const std::string& f : backup_files()) {
        std::string text;
        if (!state_read(state_path(f), text)) continue;  // never written yet
        if (!state_write(dir + "/" + f, text)) return "";
    }
    return state_write(dir + "/meta.toml", state_meta(label)) ? name : "";
}

void backup_daily()
{
    struct stat st {};
    std::string today = backups_dir() + "/" + local_time("%Y/%m/%d", std::time(nullptr));
    if (::stat(today.c_str(), &st) != 0) backup_create("daily");
}

static int count_songs(const std::string& text)
{
    int n = 0;
    for (size_t at = text.find("[[song]]"); at != std::string::npos; at = text.find("[[song]]", at + 8)) ++n;
    return n;
}

static BackupInfo read_info(const fs::path& folder, const fs::path& root)
{
    BackupInfo info;
    info.id = folder.lexically_relative(root).string();
    info.label = state_meta_label(folder.string());
    std::string meta, points;
    state_read((folder / "meta.toml").string(), meta);
    // By key, not by searching the text: a label may itself read "time = ...".
    for (const std::string& line : state_lines(meta))
        if (toml_key(line) == "time") info.time = toml_int(toml_value(line));
    if (state_read((folder / "io_points.toml").string(), points)) info.songs = count_songs(points);
    return info;
}

std::vector<BackupInfo> backup_list()
{
    std::vector<BackupInfo> list;
    fs::path root = backups_dir();
    std::error_code ec;
    fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        if (it->path().filename() == "meta.toml") list.push_back(read_info(it->path().parent_path(), root));
    }
    std::sort(list.begin(), list.end(), [](const BackupInfo& a, const BackupInfo& b) { return a.id > b.id; });
    return list;
}

// Only names made by backup_create are accepted: relative, no way out of the
// backups folder.
static bool name_ok(const std::string& name)
{
    return !name.empty() && name[0] != '/' && name.find("..") == std::string::npos;
}

bool backup_restore(const std::string& name, bool points_only)
{
    if (!name_ok(name)) return false;
    std::string dir = backups_dir() + "/" + name;
    struct stat st {};
    if (::stat((dir + "/meta.toml").c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    if (backup_create("before-restore").empty()) return false;
    hist_checkpoint();
    for (const std::string& f : backup_files()) {
        if (points_only && f != "io_points.toml") continue;
        std::string text;
        if (!state_read(dir + "/" + f, text)) continue;
        if (!state_write(state_path(f), text)) return false;
    }
    hist_commit("Restore " + name);
    return true;
}
