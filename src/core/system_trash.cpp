// The freedesktop.org Trash: files/ holds the trashed item, info/ a
// .trashinfo record with its original path and deletion time. Files on the
// home volume go to $XDG_DATA_HOME/Trash; files on other volumes to
// $mount/.Trash/$uid (when the admin made it, sticky and not a link) or
// $mount/.Trash-$uid, so a trashed file never crosses a volume.
#include "core/system_trash.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "core/file_names.h"
#include "core/state.h"
#include "core/track.h"

namespace {

// Octal escapes (\040 for a blank) used in mountinfo fields.
std::string unescape_mount(const std::string& s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 3 < s.size()) {
            int v = 0;
            bool ok = true;
            for (size_t k = 1; k <= 3; ++k) {
                char c = s[i + k];
                if (c < '0' || c > '7') ok = false;
                v = v * 8 + (c - '0');
            }
            if (ok) {
                out += static_cast<char>(v);
                i += 3;
                continue;
            }
        }
        out += s[i];
    }
    return out;
}

std::vector<std::string> split_blank(const std::string& line)
{
    std::vector<std::string> f;
    size_t i = 0;
    while (i < line.size()) {
        size_t j = line.find(' ', i);
        if (j == std::string::npos) j = line.size();
        if (j > i) f.push_back(line.substr(i, j - i));
        i = j + 1;
    }
    return f;
}

std::string home_data_dir()
{
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && *xdg == '/') return xdg;
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.local/share";
}

// Percent-encodes everything but unreserved characters and '/'.
std::string url_path(const std::string& p)
{
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : p) {
        bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                    c == '/' || c == '-' || c == '_' || c == '.' || c == '~';
        if (keep) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

// Absolute path of the entry itself (a final symbolic link is not followed).
std::string absolute_entry(const std::string& path)
{
    std::string dir = path_dir(path);
    char buf[PATH_MAX];
    if (!::realpath(dir.c_str(), buf)) return "";
    std::string d = buf;
    return (d == "/" ? "" : d) + "/" + io_file_name(path);
}

bool make_private_dir(const std::string& dir)
{
    if (::mkdir(dir.c_str(), 0700) == 0) return true;
    struct stat st {};
    return errno == EEXIST && ::lstat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

struct TrashDir {
    std::string dir;   // the trash folder (holding files/ and info/)
    std::string top;   // "" for the home trash, else the volume's mount point
};

// The trash folder for a file on device `dev`; dir is "" when none is usable.
TrashDir pick_trash(const std::string& abs, dev_t dev)
{
    std::string data = home_data_dir();
    state_mkdirs(data);
    struct stat st {};
    if (::stat(data.c_str(), &st) == 0 && st.st_dev == dev) return {data + "/Trash", ""};
    std::string top = sys_mount_point(abs);
    if (top.empty()) return {};
    std::string uid = std::to_string(::getuid());
    std::string admin = (top == "/" ? "" : top) + "/.Trash";
    if (::lstat(admin.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX)) {
        if (make_private_dir(admin + "/" + uid)) return {admin + "/" + uid, top};
    }
    std::string own = (top == "/" ? "" : top) + "/.Trash-" + uid;
    if (make_private_dir(own)) return {own, top};
    return {};
}

std::string deletion_date()
{
    std::time_t now = std::time(nullptr);
    std::tm tm {};
    localtime_r(&now, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%S", &tm);
    return buf;
}

// Creates info/<name>.trashinfo exclusively for the first free name and
// returns the name ("" on failure). The exclusive create is what reserves the
// name against another program trashing a same-named file at the same time.
std::string reserve_info(const TrashDir& t, const std::string& file_name, const std::string& info_text)
{
    std::string stem = path_stem(file_name), ext = io_file_ext(file_name);
    for (int n = 1; n < 100000; ++n) {
        std::string name = n == 1 ? file_name : stem + " " + std::to_string(n) + ext;
        struct stat st {};
        if (::lstat((t.dir + "/files/" + name).c_str(), &st) == 0) continue;
        std::string info = t.dir + "/info/" + name + ".trashinfo";
        int fd = ::open(info.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return "";
        }
        bool ok = ::write(fd, info_text.data(), info_text.size()) == static_cast<ssize_t>(info_text.size());
        ::close(fd);
        if (ok) return name;
        ::unlink(info.c_str());
        return "";
    }
    return "";
}

}  // namespace

std::string path_dir_of(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string sys_mount_point(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return "";
    char real[PATH_MAX];
    std::string abs = ::realpath(path.c_str(), real) ? real : path;
    std::string text;
    if (!state_read("/proc/self/mountinfo", text)) return "";
    std::string by_dev, by_prefix;
    char want[64];
    std::snprintf(want, sizeof want, "%u:%u", major(st.st_dev), minor(st.st_dev));
    for (const std::string& line : state_lines(text)) {
        std::vector<std::string> f = split_blank(line);
        if (f.size() < 5) continue;
        std::string mp = unescape_mount(f[4]);
        if (f[2] == want) by_dev = mp;  // later lines are mounted over earlier ones
        bool under = mp == "/" || abs == mp || abs.rfind(mp + "/", 0) == 0;
        if (under && mp.size() >= by_prefix.size()) by_prefix = mp;
    }
    // Some file systems (btrfs subvolumes) report a device number that
    // mountinfo does not list; the longest mount point above the path is then
    // the right one.
    return by_dev.empty() ? by_prefix : by_dev;
}

bool io_trash_file(const std::string& path)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return false;
    std::string abs = absolute_entry(path);
    if (abs.empty()) return false;
    TrashDir t = pick_trash(abs, st.st_dev);
    if (t.dir.empty()) return false;
    state_mkdirs(t.dir);
    if (!make_private_dir(t.dir + "/files") || !make_private_dir(t.dir + "/info")) return false;
    // Home-trash records hold absolute paths, volume-trash records paths
    // relative to the volume's top so the volume can be mounted elsewhere.
    std::string rec = abs;
    if (!t.top.empty() && t.top != "/") rec = abs.substr(t.top.size() + 1);
    else if (t.top == "/") rec = abs.substr(1);
    std::string info_text = "[Trash Info]\nPath=" + url_path(rec) + "\nDeletionDate=" + deletion_date() + "\n";
    std::string name = reserve_info(t, io_file_name(abs), info_text);
    if (name.empty()) return false;
    if (::rename(path.c_str(), (t.dir + "/files/" + name).c_str()) == 0) return true;
    ::unlink((t.dir + "/info/" + name + ".trashinfo").c_str());
    return false;
}
