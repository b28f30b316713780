// How chords and synced lyrics are shown, the chord_settings.toml file that
// keeps it, and the named lyric presets.
#pragma once
#include <string>
#include <vector>

struct ChordSettings {
    bool show_sheet = true;
    bool show_lane = false;
    bool show_inline = false;
    int lyr_ink = 3;
    int lyr_ctx_ink = 1;
    int lyr_bg = 0;
    int lyr_font = 0;
    float lyr_size = 28.0f;
    int lyr_ctx = 2;
    float lyr_feather = 30.0f;
    bool lyr_snap = false;
    int lyr_align = 0;
    float blend_beats = 4.0f;
    bool show_next = true;
    int transpose = 0;
    int capo = 0;
    int notation = 0;  // 0 letters, 1 Nashville, 2 Roman
    int simplify = 0;  // 0 as written .. 3 major/minor
    int bars_per_row = 0;
    float bar_w = 150.0f;
    int rows = 3;
    int follow = 0;
    int repeat = 2;
    bool beats = true;
    bool bar_nums = true;
    bool sections = true;
    bool lyrics = true;
    bool dim_past = true;
    int color = 2;
    float scale = 1.0f;
    int inline_lines = 2;
    float lane_secs = 16.0f;
    float lane_at = 0.15f;
    float album_tile = 132.0f;
    float list_zoom = 1.0f;
};

// One row of the field table: exactly one of the three pointers is set.
struct ChordSettingsField {
    const char* key = "";
    bool* b = nullptr;
    int* i = nullptr;
    float* f = nullptr;
    float lo = 0.0f;
    float hi = 1.0f;
    const char* comment = "";
};

// The field table for one settings object, in file order.
std::vector<ChordSettingsField> chord_settings_fields(ChordSettings& s);
// "$HOME/.lumoramusic/chord_settings.toml" (the folder is created).
std::string chord_settings_file();
// The file text for `s`.
std::string chord_settings_text(const ChordSettings& s);
// Writes the whole file (atomically); false when it could not be written.
bool chord_settings_save(const std::string& path, const ChordSettings& s);
// Defaults, overridden by every valid line of the file (values clamped).
ChordSettings chord_settings_load(const std::string& path);

int lyric_preset_count();
// Sets the lyric ink, context ink, background, font, size, feather and snap.
void lyric_preset_apply(ChordSettings& s, int i);
// The preset's name, "" outside the range.
std::string lyric_preset_name(int i);
// First preset the settings equal (size and feather within 0.5), or -1.
int lyric_preset_match(const ChordSettings& s);
