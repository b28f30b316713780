// Fade and phone-cut settings (~/.lumoramusic/io_settings.toml).
#pragma once
#include <string>

// The settings part of the player's I/O state; `path` is empty until the
// player (or the tool) fixes where the file lives.
struct IoSettings {
    int fade_in_ms = 10;
    int fade_out_ms = 10;
    bool phone_cut = true;
    int phone_fade_in_ms = 300;
    int phone_fade_out_ms = 1500;
    std::string path;
};

// State folder + "/io_settings.toml".
std::string io_settings_file();
// Reads settings.path into the five fields; a missing file keeps the defaults.
void io_settings_load(IoSettings& s);
// Parses settings text into the five fields (the same rules as io_settings_load).
void io_settings_parse(IoSettings& s, const std::string& text);
// The seven-line file text.
std::string io_settings_text(const IoSettings& s);
// Rewrites the settings file; does nothing (false) when settings.path is empty.
bool io_settings_save(const IoSettings& s);
