#include "core/originals.h"

#include <sys/stat.h>

#include "core/state.h"

std::string io_originals_dir()
{
    std::string dir = state_home() + "/originals";
    state_mkdirs(dir);
    return dir;
}

std::string io_originals_file()
{
    return state_path("originals.toml");
}

IoOriginals io_originals_load(const std::string& path)
{
    IoOriginals map;
    std::string text;
    if (!state_read(path, text)) return map;
    // Keys are paired in order rather than by table: a backup line belongs to
    // the song line before it, and a stray one is ignored.
    std::string pending;
    bool have_song = false;
    for (const std::string& line : state_lines(text)) {
        std::string key = toml_key(line);
        if (key == "song") {
            pending = io_toml_str(line);
            have_song = true;
        } else if (key == "backup" && have_song) {
            std::string backup = io_toml_str(line);
            struct stat st {};
            if (!backup.empty() && ::stat(backup.c_str(), &st) == 0) map[pending] = backup;
            have_song = false;
            pending.clear();
        }
    }
    return map;
}

bool io_originals_save(const IoOriginals& map, const std::string& path)
{
    if (path.empty()) return false;
    std::string out =
        "# Lumora Music — replaced songs and their saved originals (Restore Original)\n\n";
    for (const auto& [song, backup] : map)
        out += "[[original]]\nsong = \"" + io_toml_esc(song) + "\"\nbackup = \"" +
               io_toml_esc(backup) + "\"\n\n";
    return state_write(path, out);
}
