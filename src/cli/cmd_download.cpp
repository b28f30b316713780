// download: runs spotdl into the scan root and adds what arrived to the catalog.
#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/download.h"


void cli_spotdl_path()
{
    const char* p = std::getenv("PATH");
    std::string path = p ? p : "/usr/bin:/bin";
    const char* h = std::getenv("HOME");
    std::string home = h ? h : ".";
    std::string base = home + "/Library/Python";
    if (DIR* d = ::opendir(base.c_str())) {
        while (dirent* e = ::readdir(d)) {
            std::string entry = base + "/" + e->d_name;
            struct stat st {};
            if (::stat((entry + "/bin/spotdl").c_str(), &st) == 0) path = entry + "/bin:" + path;
        }
        ::closedir(d);
    }
    // On Linux, pip --user and pipx put the program in ~/.local/bin.
    struct stat st {};
    if (::stat((home + "/.local/bin/spotdl").c_str(), &st) == 0) path = home + "/.local/bin:" + path;
    ::setenv("PATH", path.c_str(), 1);
}

namespace {

// Depth-first, in directory order. False ends the whole walk (first error).
bool walk_new(const std::string& dir, time_t since, std::vector<std::string>& out)
{
    DIR* d = ::opendir(dir.c_str());
    if (!d) return errno == EACCES;
    bool ok = true;
    while (dirent* e = ::readdir(d)) {
        std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        std::string full = dir + "/" + name;
        struct stat st {};
        if (::stat(full.c_str(), &st) != 0) continue;  // dangling link
        if (S_ISDIR(st.st_mode)) {
            if (!walk_new(full, since, out)) {
                ok = false;
                break;
            }
        } else if (S_ISREG(st.st_mode) && is_audio_ext(full) && st.st_mtime >= since) {
            out.push_back(full);
        }
    }
    ::closedir(d);
    return ok;
}

}  // namespace

std::vector<std::string> cli_new_audio(const std::string& root, time_t since)
{
    std::vector<std::string> out;
    walk_new(root, since, out);
    return out;
}

int cmd_download(const CliArgs& args)
{
    if (args.empty()) return cli_usage();
    std::string query;
    for (const std::string& a : args) query += (query.empty() ? "" : " ") + a;
    Library lib = cli_library();
    if (lib.scan_root.empty()) {
        std::fprintf(stderr, "library has no scan_root\n");
        return 1;
    }
    cli_spotdl_path();
    time_t since = std::time(nullptr) - 2;
    cli_spawn({"spotdl", "download", query, "--output",
               lib.scan_root + "/{artist}/{album}/{artists} - {title}.{output-ext}", "--format",
               "mp3", "--bitrate", "192k"},
              false);
    std::vector<std::string> fresh = cli_new_audio(lib.scan_root, since);
    Library again = cli_library();
    if (fresh.empty()) {
        std::fprintf(stderr, "nothing new downloaded (not found, or already in library)\n");
        return 1;
    }
    for (const std::string& f : fresh) {
        again.add_path(f);
        std::printf("added %s\n", f.c_str());
    }
    again.save_catalog();
    return 0;
}
