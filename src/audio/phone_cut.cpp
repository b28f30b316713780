// The phone-cut cache: one folder per cut, named by a hash of everything
// that decides its content, finished by a `done` marker.
#include "audio/phone_cut.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

#include "audio/trim.h"
#include "core/state.h"
#include "core/system_trash.h"

std::string phone_cut_dir(const std::string& scan_root)
{
    std::string root = scan_root;
    while (root.size() > 1 && root.back() == '/') root.pop_back();
    // Without a music folder the home folder takes its parent's place (the
    // usual music folder is ~/Music), never the current folder.
    if (root.empty()) {
        const char* home = std::getenv("HOME");
        return std::string(home ? home : "") + "/Lumora Music Phone Cuts";
    }
    std::string parent = path_dir_of(root);
    return (parent == "/" ? "" : parent) + "/Lumora Music Phone Cuts";
}

PhoneCut phone_cut_for(const IoStore& points, const std::string& path, double duration, int fade_in_ms,
                       int fade_out_ms, const std::string& dir)
{
    PhoneCut cut;
    cut.src = path;
    auto it = points.find(path);
    if (it == points.end()) return cut;
    const IoSaved& p = it->second;
    if (p.in < 0 && p.out <= 0) return cut;
    cut.in = p.in < 0 ? 0.0f : p.in;
    cut.out = p.out > 0 ? p.out : static_cast<float>(duration);
    if (cut.in >= cut.out) return cut;
    cut.fade_in_ms = fade_in_ms;
    cut.fade_out_ms = fade_out_ms;
    cut.dir = dir;
    return cut;
}

std::string phone_cut_key(const PhoneCut& cut, unsigned long long size, long long mtime_ns)
{
    char buf[256];
    std::snprintf(buf, sizeof buf, "#%llu#%lld#%.3f#%.3f#%d#%d", size, mtime_ns, cut.in, cut.out,
                  cut.fade_in_ms, cut.fade_out_ms);
    return cut.src + buf;
}

// Cuts run one at a time: two transfers of the same song must not write the
// same cut folder at once; the second then finds `done` and reuses the cut.
static std::mutex phone_cut_mutex;

std::string phone_cut_file(const PhoneCut& cut)
{
    if (cut.dir.empty()) return cut.src;
    struct stat st {};
    if (::stat(cut.src.c_str(), &st) != 0) return "";
    long long mtime_ns = static_cast<long long>(static_cast<unsigned long long>(st.st_mtim.tv_sec) * 1000000000ULL +
                                                static_cast<unsigned long long>(st.st_mtim.tv_nsec));
    std::string folder = cut.dir + "/" + io_hash_hex(phone_cut_key(cut, st.st_size, mtime_ns));
    std::string file = folder + "/" + io_file_name(cut.src);
    std::lock_guard<std::mutex> lock(phone_cut_mutex);
    // A finished cut whose file was removed by hand is made again rather
    // than handed out as a path to nothing.
    struct stat done {}, made {};
    if (::stat((folder + "/done").c_str(), &done) == 0 && ::stat(file.c_str(), &made) == 0) return file;
    if (!state_mkdirs(folder)) return "";
    // Written under a temporary name and renamed when complete, so a killed
    // or failed ffmpeg never leaves a partial file under the song's name.
    std::string part = file + ".part";
    if (!io_trim_file(cut.src, part, cut.in, cut.out, cut.fade_in_ms / 1000.0, cut.fade_out_ms / 1000.0, "")) {
        ::unlink(part.c_str());
        return "";
    }
    if (::rename(part.c_str(), file.c_str()) != 0 || !state_write(folder + "/done", cut.src + "\n")) return "";
    return file;
}
