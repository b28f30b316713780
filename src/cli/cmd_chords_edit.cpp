// Edit flags of the chords command, ChordPro import and detection reports.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "chords/chordpro.h"
#include "cli/cmd_chords.h"
#include "core/state.h"
#include "lyrics/lrc.h"

namespace {

// Lenient number; NaN counts as no number (0), since it cannot be ordered.
float lenient(const std::string& s)
{
    double v = toml_num(s);
    return std::isnan(v) ? 0.0f : static_cast<float>(v);
}

// Sheet files are line based: a line break inside a name or key would cut
// the entry in two and lose it on the next load, so it becomes a space.
std::string one_line(std::string s)
{
    for (char& c : s)
        if (c == '\n' || c == '\r') c = ' ';
    return s;
}

void sort_by_time(std::vector<ChordEv>& list)
{
    std::stable_sort(list.begin(), list.end(),
                     [](const ChordEv& a, const ChordEv& b) { return a.t < b.t; });
}

// "--add" / "--section": T=NAME appended to `list`.
bool add_entry(const std::string& flag, const std::string& value, std::vector<ChordEv>& list)
{
    size_t eq = value.find('=');
    if (eq == std::string::npos || eq + 1 == value.size()) {
        std::fprintf(stderr, "%s wants T=NAME (e.g. 12.4=G)\n", flag.c_str());
        return false;
    }
    list.push_back({cli_chord_time(value.substr(0, eq)), one_line(value.substr(eq + 1))});
    return true;
}

bool delete_near(const std::string& value, std::vector<ChordEv>& chords)
{
    float t = cli_chord_time(value);
    size_t best = chords.size();
    for (size_t i = 0; i < chords.size(); ++i)
        if (best == chords.size() || std::fabs(chords[i].t - t) < std::fabs(chords[best].t - t))
            best = i;
    if (best == chords.size() || !(std::fabs(chords[best].t - t) <= 0.25f)) {
        std::fprintf(stderr, "no chord near %.2f\n", static_cast<double>(t));
        return false;
    }
    chords.erase(chords.begin() + static_cast<long>(best));
    return true;
}

// One flag with a value; false after printing an error.
bool apply_valued(const Track& track, const std::string& flag, const std::string& value,
                  ChordSheet& sheet)
{
    if (flag == "--key") {
        sheet.key = value == "-" ? "" : one_line(value);
    } else if (flag == "--bpm") {
        sheet.bpm = std::max(lenient(value), 0.0f);
    } else if (flag == "--meter") {
        sheet.meter = static_cast<int32_t>(std::clamp(lenient(value), 1.0f, 16.0f));
    } else if (flag == "--downbeat") {
        sheet.downbeat = value == "-" ? -1.0f : cli_chord_time(value);
    } else if (flag == "--add") {
        return add_entry(flag, value, sheet.chords);
    } else if (flag == "--section") {
        return add_entry(flag, value, sheet.sections);
    } else if (flag == "--del") {
        return delete_near(value, sheet.chords);
    } else if (flag == "--import") {
        return cli_chords_import(track, value, sheet);
    } else {
        std::fprintf(stderr, "unknown flag %s\n", flag.c_str());
        return false;
    }
    return true;
}

}  // namespace

float cli_chord_time(const std::string& text)
{
    size_t colon = text.find(':');
    if (colon == std::string::npos) return lenient(text);
    return lenient(text.substr(0, colon)) * 60.0f + lenient(text.substr(colon + 1));
}

int cli_chords_edit(const Track& track, const CliArgs& args, ChordSheet& sheet)
{
    int edits = 0;
    for (size_t i = 0; i < args.size();) {
        const std::string& a = args[i];
        if (a == "--clear") {
            sheet.chords.clear();
            ++edits;
            ++i;
            continue;
        }
        if (a == "--detect") {
            if (!cli_chords_detect(track, sheet)) return -1;
            ++edits;
            ++i;
            continue;
        }
        if (a.rfind("--", 0) != 0 || a == "--artist") {
            ++i;
            continue;
        }
        std::string value = i + 1 < args.size() ? args[i + 1] : "";
        if (value.empty()) {
            std::fprintf(stderr, "%s needs a value\n", a.c_str());
            return -1;
        }
        if (!apply_valued(track, a, value, sheet)) return -1;
        ++edits;
        i += 2;
    }
    sort_by_time(sheet.chords);
    sort_by_time(sheet.sections);
    return edits;
}

bool cli_chords_import(const Track& track, const std::string& file, ChordSheet& sheet)
{
    std::string text;
    if (!state_read(file, text)) {
        std::fprintf(stderr, "can't read %s\n", file.c_str());
        return false;
    }
    LrcState lyrics;
    lyrics.load(track.path);
    if (!lyrics.loaded) {
        std::fprintf(stderr, "%s has no synced lyrics; run `lyrics` first\n", track.title.c_str());
        return false;
    }
    int dropped = 0;
    sheet.chords = chordpro_align(text, lyrics.lines, dropped);
    chordpro_meta(text, sheet);
    std::printf("# imported %zu chords, %d on unmatched lines dropped\n", sheet.chords.size(),
                dropped);
    return true;
}

bool cli_chords_detect_report(const Track& track, bool ok, const ChordSheet& detected,
                              ChordSheet& sheet)
{
    if (!ok) {
        std::fprintf(stderr, "no chords detected in %s\n", track.title.c_str());
        return false;
    }
    sheet = detected;
    std::printf("# detected %zu chords, key %s, %.1f bpm\n", sheet.chords.size(), sheet.key.c_str(),
                static_cast<double>(sheet.bpm));
    return true;
}

bool cli_chords_detect(const Track& track, ChordSheet& sheet)
{
    ChordSheet detected = sheet;
    bool ok = chords_detect(track.path, detected);
    return cli_chords_detect_report(track, ok, detected, sheet);
}
