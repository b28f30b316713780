#include "core/io_settings.h"

#include <algorithm>

#include "core/state.h"

std::string io_settings_file()
{
    return state_path("io_settings.toml");
}

static int clamp_ms(long long v)
{
    return static_cast<int>(std::clamp<long long>(v, 0, 5000));
}

void io_settings_parse(IoSettings& s, const std::string& text)
{
    for (const std::string& line : state_lines(text)) {
        if (line.empty() || line[0] == '#' || line.find('=') == std::string::npos) continue;
        std::string key = toml_key(line);
        long long v = toml_int(toml_value(line));
        if (key == "fade_in_ms") s.fade_in_ms = clamp_ms(v);
        else if (key == "fade_out_ms") s.fade_out_ms = clamp_ms(v);
        else if (key == "phone_fade_in_ms") s.phone_fade_in_ms = clamp_ms(v);
        else if (key == "phone_fade_out_ms") s.phone_fade_out_ms = clamp_ms(v);
        else if (key == "phone_cut") s.phone_cut = v > 0;
    }
}

void io_settings_load(IoSettings& s)
{
    std::string text;
    if (s.path.empty() || !state_read(s.path, text)) return;
    io_settings_parse(s, text);
}

std::string io_settings_text(const IoSettings& s)
{
    return "# Lumora Music — I/O fades (ms). 10 = quick declick; raise for musical fades.\n"
           "fade_in_ms = " + std::to_string(s.fade_in_ms) + "\n"
           "fade_out_ms = " + std::to_string(s.fade_out_ms) + "\n"
           "# Phone sends: cut to I/O points (1/0) + their own fades (ms).\n"
           "phone_cut = " + (s.phone_cut ? "1" : "0") + "\n"
           "phone_fade_in_ms = " + std::to_string(s.phone_fade_in_ms) + "\n"
           "phone_fade_out_ms = " + std::to_string(s.phone_fade_out_ms) + "\n";
}

bool io_settings_save(const IoSettings& s)
{
    if (s.path.empty()) return false;
    return state_write(s.path, io_settings_text(s));
}
