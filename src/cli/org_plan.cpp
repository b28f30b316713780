// The organize plan: which songs lie loose in the scan root and where they go.
#include <dirent.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "cli/org.h"
#include "core/file_names.h"
#include "core/state.h"
#include "core/trash.h"

namespace fs = std::filesystem;

const std::vector<std::string>& org_side_suffixes()
{
    static const std::vector<std::string> s = {".lrc", ".lyrics.toml", ".chords.toml"};
    return s;
}

std::string org_safe(const std::string& name, const std::string& fallback)
{
    std::string s = name;
    for (char& c : s)
        if (c == '/' || c == ':' || c == '\\') c = '-';
    size_t lead = s.find_first_not_of(" .");
    s.erase(0, lead == std::string::npos ? s.size() : lead);
    size_t end = s.find_last_not_of(' ');
    s.erase(end == std::string::npos ? 0 : end + 1);
    if (s.size() > 120) s.resize(120);
    return s.empty() ? fallback : s;
}

std::string org_target(const std::string& root, const Track& track)
{
    std::string artist = track.artist.substr(0, track.artist.find('/'));
    if (artist.empty()) {
        std::string stem = path_stem(track.path);
        size_t dash = stem.find(" - ");
        if (dash != std::string::npos) artist = stem.substr(0, dash);
    }
        return root + "/" + org_safe(artist, "Unknown Artist") + "/" +
           org_safe(track.album, "Unknown Album") + "/" + io_file_name(track.path);
}

std::string org_show(const std::string& root, const std::string& path)
{
    std::string prefix = root + "/";
    return path.compare(0, prefix.size(), prefix) == 0 ? path.substr(prefix.size()) : path;
}

namespace {

std::string norm_dir(const std::string& p)
{
    std::string s = fs::path(p).lexically_normal().string();
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return s;
}

// Compared as paths: "/m//a" and "/m/./a" are "/m/a". Plain strings first, as
// almost every catalog path is written plainly.
bool same_dir(const std::string& dir, const std::string& root_n)
{
    if (dir == root_n) return true;
    if (dir.find("//") == std::string::npos && dir.find("/.") == std::string::npos &&
        (dir.empty() || dir.back() != '/'))
        return false;
    return norm_dir(dir) == root_n;
}

bool is_regular(const std::string& p)
{
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

using Inode = std::pair<dev_t, ino_t>;

struct InodeHash {
    size_t operator()(const Inode& i) const { return std::hash<uint64_t>()(i.first * 1000003ULL ^ i.second); }
};

// Loose audio files of the root that the catalog does not know yet join it. A
// loose name holding the very file of a catalog song elsewhere is the spare
// name an interrupted run left behind: a move onto that song finishes it.
void add_loose_files(Library& lib, const std::string& root, std::vector<Move>& moves)
{
    std::unordered_set<std::string> known;
    for (const Track& t : lib.tracks) known.insert(t.path);
    DIR* d = ::opendir(root.c_str());
    if (!d) return;
    std::vector<std::string> fresh;
    while (dirent* e = ::readdir(d)) {
        std::string full = root + "/" + e->d_name;
        if (!known.count(full) && is_audio_ext(full) && is_regular(full)) fresh.push_back(full);
    }
    ::closedir(d);
    if (fresh.empty()) return;
    std::unordered_map<Inode, std::string, InodeHash> files;
    for (const Track& t : lib.tracks) {
        struct stat st {};
        if (::lstat(t.path.c_str(), &st) == 0 && st.st_nlink > 1) files.emplace(Inode{st.st_dev, st.st_ino}, t.path);
    }
    for (const std::string& f : fresh) {
        struct stat st {};
        auto it = ::lstat(f.c_str(), &st) == 0 ? files.find({st.st_dev, st.st_ino}) : files.end();
        if (it != files.end()) moves.push_back({f, it->second, true, {}});
        else lib.add_path(f);
    }
}

}  // namespace

std::vector<Move> org_plan(Library& library)
{
    std::vector<Move> moves;
    // "/music/" and "/music" name the same root; targets never get a "//".
    std::string root = library.scan_root;
    while (root.size() > 1 && root.back() == '/') root.pop_back();
    if (root.empty()) return moves;
    add_loose_files(library, root, moves);
    std::string root_n = norm_dir(root);
    std::unordered_set<std::string> planned;  // a catalog listing a song twice moves it once
    for (const Track& t : library.tracks) {
        if (!same_dir(path_dir(t.path), root_n) || !planned.insert(t.path).second || !is_regular(t.path))
            continue;
        moves.push_back({t.path, org_target(root, t), true, {}});
    }
    std::string text;
    state_read(trash_index_file(), text);
    for (const TrashEntry& e : trash_parse(text)) {
        if (e.track.path.empty() || !same_dir(path_dir(e.track.path), root_n)) continue;
        moves.push_back({e.track.path, org_target(root, e.track), false, {}});
    }
    return moves;
}
