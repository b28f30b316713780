#include "chords/chord_settings.h"

#include <cmath>
#include <cstdio>

#include "core/state.h"

namespace {

ChordSettingsField fb(const char* key, bool& v, const char* comment)
{
    ChordSettingsField f{key};
    f.b = &v;
    f.comment = comment;
    return f;
}

ChordSettingsField fi(const char* key, int& v, int lo, int hi, const char* comment)
{
    ChordSettingsField f{key};
    f.i = &v;
    f.lo = static_cast<float>(lo);
    f.hi = static_cast<float>(hi);
    f.comment = comment;
    return f;
}

ChordSettingsField ff(const char* key, float& v, float lo, float hi, const char* comment)
{
    ChordSettingsField f{key};
    f.f = &v;
    f.lo = lo;
    f.hi = hi;
    f.comment = comment;
    return f;
}

void apply_value(const ChordSettingsField& f, double v)
{
    if (f.b) {
        *f.b = v != 0.0;
        return;
    }
    if (v < f.lo) v = f.lo;
    else if (v > f.hi) v = f.hi;
    if (f.i) *f.i = static_cast<int>(v);
    else *f.f = static_cast<float>(v);
}

struct Preset {
    const char* name;
    int ink, ctx_ink, bg, font;
    float size, feather;
    bool snap;
};

const Preset kPresets[] = {
    {"Triple blend", 3, 1, 0, 0, 28, 30, false},  {"Two-tone", 2, 0, 0, 0, 28, 0, false},
    {"Gradient sung", 3, 0, 0, 0, 28, 0, false},  {"Chord ink", 1, 0, 0, 0, 28, 0, false},
    {"Hue ramp", 1, 1, 0, 0, 28, 0, false},       {"Feather wipe", 3, 0, 0, 0, 28, 40, false},
    {"Word flip", 2, 0, 0, 0, 28, 0, true},       {"Serif two-tone", 2, 0, 0, 3, 30, 24, false},
    {"Black poster", 2, 0, 0, 1, 34, 24, false},  {"Rounded", 3, 1, 0, 2, 28, 24, false},
    {"Tinted classic", 0, 0, 2, 0, 22, 0, false},
};
constexpr int kPresetCount = sizeof kPresets / sizeof kPresets[0];

}  // namespace

std::vector<ChordSettingsField> chord_settings_fields(ChordSettings& s)
{
    return {
        fb("show_sheet", s.show_sheet, "bar grid"),
        fb("show_lane", s.show_lane, "scrolling strip"),
        fb("show_inline", s.show_inline, "chords over lyrics"),
        fi("lyr_ink", s.lyr_ink, 0, 3, "current line: 0 dark, 1 chord ink, 2 two-tone, 3 gradient sung"),
        fi("lyr_ctx_ink", s.lyr_ctx_ink, 0, 2, "context: 0 grey, 1 hue ramp, 2 line chord colour"),
        fi("lyr_bg", s.lyr_bg, 0, 2, "0 white, 1 chord tint, 2 tint fading down"),
        fi("lyr_font", s.lyr_font, 0, 4, "0 SF Semibold, 1 SF Black, 2 SF Rounded, 3 New York, 4 Menlo"),
        ff("lyr_size", s.lyr_size, 14, 72, "current line pt"),
        fi("lyr_ctx", s.lyr_ctx, 0, 5, "context lines each side"),
        ff("lyr_feather", s.lyr_feather, 0, 80, "soft edge px"),
        fb("lyr_snap", s.lyr_snap, "colour by whole words"),
        fi("lyr_align", s.lyr_align, 0, 1, "0 centre, 1 left"),
        ff("blend_beats", s.blend_beats, 0, 8, "colour glides into next chord over N beats"),
        fb("show_next", s.show_next, "next-chord card"),
        fi("transpose", s.transpose, -11, 11, "semitones"),
        fi("capo", s.capo, 0, 11, "fret"),
        fi("notation", s.notation, 0, 2, "0 letters, 1 Nashville, 2 Roman"),
        fi("simplify", s.simplify, 0, 3, "0 as written, 1 sevenths, 2 triads, 3 major/minor"),
        fi("bars_per_row", s.bars_per_row, 0, 16, "0 = fit window"),
        ff("bar_w", s.bar_w, 60, 400, "min bar px (auto)"),
        fi("rows", s.rows, 1, 8, "visible sheet rows"),
        fi("follow", s.follow, 0, 2, "0 keep row above, 1 page turn, 2 current on top"),
        fi("repeat", s.repeat, 0, 3, "held chord: 0 name, 1 %, 2 blank, 3 faded name"),
        fb("beats", s.beats, "beat slashes"),
        fb("bar_nums", s.bar_nums, "bar numbers"),
        fb("sections", s.sections, "section names"),
        fb("lyrics", s.lyrics, "lyrics under bars"),
        fb("dim_past", s.dim_past, "fade played bars"),
        fi("color", s.color, 0, 2, "0 none, 1 function, 2 root"),
        ff("scale", s.scale, 0.6f, 2.5f, "chord text size"),
        fi("inline_lines", s.inline_lines, 2, 5, "chord rows over 2 or 5 lyric lines"),
        ff("lane_secs", s.lane_secs, 4, 60, "seconds across lane"),
        ff("lane_at", s.lane_at, 0.05f, 0.5f, "playhead position"),
        ff("album_tile", s.album_tile, 72, 320, "album cover px"),
        ff("list_zoom", s.list_zoom, 0.8f, 1.8f, "song table zoom"),
    };
}

std::string chord_settings_file()
{
    return state_path("chord_settings.toml");
}

std::string chord_settings_text(const ChordSettings& s)
{
    ChordSettings copy = s;
    std::string out = "# Lumora Music chord display (Chords > Settings... in app)\n";
    char buf[256];
    for (const ChordSettingsField& f : chord_settings_fields(copy)) {
        if (f.f) std::snprintf(buf, sizeof buf, "%s = %.2f", f.key, static_cast<double>(*f.f));
        else std::snprintf(buf, sizeof buf, "%s = %d", f.key, f.b ? int(*f.b) : *f.i);
        out += buf;
        out += std::string("   # ") + f.comment + "\n";
    }
    return out;
}

bool chord_settings_save(const std::string& path, const ChordSettings& s)
{
    return state_write(path, chord_settings_text(s));
}

ChordSettings chord_settings_load(const std::string& path)
{
    ChordSettings s;
    std::string text;
    if (!state_read(path, text)) return s;
    std::vector<ChordSettingsField> fields = chord_settings_fields(s);
    for (const std::string& line : state_lines(text)) {
        if (line.find('=') == std::string::npos || line[0] == '#') continue;
        std::string key = toml_key(line);
        double v = toml_num(toml_value(line));
        if (std::isnan(v)) v = 0;  // "nan" is not a number here
        if (key == "mode") {
            long long m = std::isfinite(v) ? static_cast<long long>(v) : 0;
            s.show_lane = (m & 1) != 0;
            s.show_inline = (m & 2) != 0;
            continue;
        }
        for (const ChordSettingsField& f : fields)
            if (key == f.key) apply_value(f, v);
    }
    return s;
}

int lyric_preset_count()
{
    return kPresetCount;
}

void lyric_preset_apply(ChordSettings& s, int i)
{
    if (i < 0 || i >= kPresetCount) return;
    const Preset& p = kPresets[i];
    s.lyr_ink = p.ink;
    s.lyr_ctx_ink = p.ctx_ink;
    s.lyr_bg = p.bg;
    s.lyr_font = p.font;
    s.lyr_size = p.size;
    s.lyr_feather = p.feather;
    s.lyr_snap = p.snap;
}

std::string lyric_preset_name(int i)
{
    return i < 0 || i >= kPresetCount ? "" : kPresets[i].name;
}

int lyric_preset_match(const ChordSettings& s)
{
    for (int i = 0; i < kPresetCount; ++i) {
        const Preset& p = kPresets[i];
        if (s.lyr_ink == p.ink && s.lyr_ctx_ink == p.ctx_ink && s.lyr_bg == p.bg &&
            s.lyr_font == p.font && s.lyr_snap == p.snap &&
            std::fabs(s.lyr_size - p.size) < 0.5f && std::fabs(s.lyr_feather - p.feather) < 0.5f)
            return i;
    }
    return -1;
}
