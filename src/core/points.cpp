#include "core/points.h"

#include <cfloat>
#include <cmath>

#include "core/state.h"

std::string io_store_file()
{
    return state_path("io_points.toml");
}

// A lenient number that is never NaN or infinite (nor beyond float range):
// such a value would pass every comparison unnoticed and be written back as
// "nan" or "inf".
static float point_value(const std::string& value)
{
    double v = toml_num(value);
    return std::isfinite(v) && std::fabs(v) <= FLT_MAX ? static_cast<float>(v) : 0.0f;
}

IoStore io_store_parse(const std::string& text)
{
    IoStore store;
    std::string path;
    IoSaved cur;
    auto finish = [&] {
        if (!path.empty()) store[path] = cur;
        path.clear();
        cur = IoSaved{};
    };
    for (const std::string& line : state_lines(text)) {
        if (line.rfind("[[song]]", 0) == 0) {
            finish();
            continue;
        }
        if (line.empty() || line[0] == '#' || line.find('=') == std::string::npos) continue;
        std::string key = toml_key(line);
        if (key == "path") {
            path = io_toml_str(line);
        } else if (key == "in") {
            cur.in = point_value(toml_value(line));
        } else if (key == "out") {
            cur.out = point_value(toml_value(line));
        }
    }
    finish();
    return store;
}

IoStore io_store_load(const std::string& path)
{
    std::string text;
    if (!state_read(path, text)) return {};
    return io_store_parse(text);
}

std::string io_store_text(const IoStore& store)
{
    std::string out = "# Lumora Music — per-song I/O points\n\n";
    for (const auto& [path, p] : store) {
        out += "[[song]]\npath = \"" + io_toml_esc(path) + "\"\n";
        if (p.in >= 0) out += "in = " + toml_fmt(p.in) + "\n";
        if (p.out > 0) out += "out = " + toml_fmt(p.out) + "\n";
        out += "\n";
    }
    return out;
}

bool io_store_save(const IoStore& store, const std::string& path)
{
    if (path.empty()) return false;
    return state_write(path, io_store_text(store));
}

bool io_clear_song_points(IoStore& store, const std::string& store_path, const std::string& song)
{
    if (store.erase(song) == 0) return false;
    return io_store_save(store, store_path);
}
