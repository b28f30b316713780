// Repointing every record that names a song's file after organize or relocate:
// catalog tracks and playlists, points, originals, the app trash and the
// speech cache.
#include <sys/stat.h>

#include <cstdio>
#include <unordered_map>
#include <unordered_set>

#include "cli/asr.h"
#include "cli/org.h"
#include "core/originals.h"
#include "core/points.h"
#include "core/state.h"
#include "core/trash.h"

namespace {

using PathMap = std::unordered_map<std::string, std::string>;

bool remap_one(const PathMap& map, std::string& path)
{
    auto it = map.find(path);
    if (it == map.end() || it->second == path) return false;
    path = it->second;
    return true;
}

void remap_catalog(Library& lib, const PathMap& map)
{
    for (Track& t : lib.tracks) remap_one(map, t.path);
    for (Playlist& pl : lib.playlists) {
        std::vector<std::string> paths;
        std::unordered_set<std::string> in_list(pl.paths.begin(), pl.paths.end());
        for (std::string p : pl.paths) {
            bool changed = remap_one(map, p);
            if (changed && !in_list.insert(p).second) continue;
            paths.push_back(p);
        }
        pl.paths = std::move(paths);
    }
    lib.save_catalog();
}

// Rebuilt rather than edited in place, so that a chain of moves (a to b, b to c)
// repoints each record once.
template <class Map>
bool remap_keys(Map& m, const PathMap& map)
{
    bool changed = false;
    Map out;
    for (auto& [key, value] : m) {
        std::string k = key;
        changed = remap_one(map, k) || changed;
        out[k] = value;
    }
    if (changed) m = std::move(out);
    return changed;
}

// The trash index is rewritten from its text, so entries whose files are out of
// reach right now (an unplugged drive) keep their records.
void remap_trash(const PathMap& map)
{
    std::string path = trash_index_file();
    std::string text;
    if (!state_read(path, text)) return;
    std::vector<TrashEntry> entries = trash_parse(text);
    bool changed = false;
    for (TrashEntry& e : entries) changed = remap_one(map, e.track.path) || changed;
    if (changed) state_write(path, trash_text(entries));
}

}  // namespace

void org_remap_asr(const std::vector<Move>& moves)
{
    for (const Move& m : moves) {
        if (!m.file) continue;
        struct stat st {};
        if (::stat(m.to.c_str(), &st) != 0) continue;
        auto size = static_cast<uint64_t>(st.st_size);
        std::string old_dir = asr_dir(m.from, size), new_dir = asr_dir(m.to, size);
        struct stat ds {};
        if (::stat(old_dir.c_str(), &ds) != 0 || ::stat(new_dir.c_str(), &ds) == 0) continue;
        if (::rename(old_dir.c_str(), new_dir.c_str()) != 0) continue;
        // A file given a free name ("x 2.mp3") is looked up by its new stem.
        std::string old_json = new_dir + "/" + path_stem(m.from) + ".json";
        std::string new_json = new_dir + "/" + path_stem(m.to) + ".json";
        if (old_json != new_json) ::rename(old_json.c_str(), new_json.c_str());
    }
}

void org_remap(Library& library, const std::vector<Move>& moves)
{
    PathMap map;
    for (const Move& m : moves) map[m.from] = m.to;
    remap_catalog(library, map);

    std::string points_path = io_store_file();
    IoStore points = io_store_load(points_path);
    if (remap_keys(points, map)) io_store_save(points, points_path);

    std::string orig_path = io_originals_file();
    IoOriginals originals = io_originals_load(orig_path);  // empty when there is no file
    if (remap_keys(originals, map)) io_originals_save(originals, orig_path);
    remap_trash(map);
    org_remap_asr(moves);
}
