#include "chords/chord_sheet.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/state.h"
#include "core/track.h"

namespace {

void append_entry(std::string& out, const char* table, const ChordEv& e)
{
    char buf[128];  // room for the largest float printed in full
    std::snprintf(buf, sizeof buf, "\n[[%s]]\nt = %.3f\n", table, static_cast<double>(e.t));
    out += buf;
    out += "name = \"" + io_toml_esc(e.name) + "\"\n";
}

void tidy(std::vector<ChordEv>& list)
{
    std::erase_if(list, [](const ChordEv& e) { return e.name.empty(); });
    std::stable_sort(list.begin(), list.end(),
                     [](const ChordEv& a, const ChordEv& b) { return a.t < b.t; });
}

// A lenient number; NaN reads as 0 like any other non-number, since it
// would make the time ordering meaningless.
float num(const std::string& value)
{
    double v = toml_num(value);
    return std::isnan(v) ? 0.0f : static_cast<float>(v);
}

// Key of a sheet line: the text before the first space or '='.
std::string line_key(const std::string& line)
{
    return line.substr(0, line.find_first_of(" ="));
}

void header_value(ChordSheet& sheet, const std::string& key, const std::string& value)
{
    if (key == "key") {
        sheet.key = io_toml_str(value);
    } else if (key == "bpm") {
        sheet.bpm = num(value);
    } else if (key == "downbeat") {
        sheet.downbeat = num(value);
    } else if (key == "meter") {
        long long m = toml_int(value);
        sheet.meter = static_cast<int32_t>(std::clamp<long long>(m, 1, 16));
    }
}

}  // namespace

std::string chords_path(const std::string& audio_path)
{
    return path_without_ext(audio_path) + ".chords.toml";
}

std::string chords_text(const ChordSheet& sheet)
{
    std::string out =
        "# Lumora Music chords. t = seconds from song start; chord lasts until next t.\n"
        "# meter = beats per bar; downbeat = time of a beat 1 (-1 = first chord).\n";
    out += "key = \"" + io_toml_esc(sheet.key) + "\"\n";
    char buf[192];
    std::snprintf(buf, sizeof buf, "bpm = %.2f\nmeter = %d\ndownbeat = %.3f\n",
                  static_cast<double>(sheet.bpm), sheet.meter, static_cast<double>(sheet.downbeat));
    out += buf;
    for (const ChordEv& e : sheet.sections) append_entry(out, "section", e);
    for (const ChordEv& e : sheet.chords) append_entry(out, "chord", e);
    return out;
}

bool chords_parse(const std::string& text, ChordSheet& sheet)
{
    sheet = ChordSheet{};
    ChordEv* cur = nullptr;
    for (const std::string& line : state_lines(text)) {
        if (line.rfind("[[chord]]", 0) == 0) {
            sheet.chords.emplace_back();
            cur = &sheet.chords.back();
            continue;
        }
        if (line.rfind("[[section]]", 0) == 0) {
            sheet.sections.emplace_back();
            cur = &sheet.sections.back();
            continue;
        }
        if (line.empty() || line[0] == '#' || line.find('=') == std::string::npos) continue;
        std::string key = line_key(line);
        std::string value = toml_value(line);
        if (!cur) header_value(sheet, key, value);
        else if (key == "t") cur->t = num(value);
        else if (key == "name") cur->name = io_toml_str(value);
    }
    tidy(sheet.chords);
    tidy(sheet.sections);
    return !sheet.chords.empty();
}

bool chords_load(const std::string& path, ChordSheet& sheet)
{
    std::string text;
    if (!state_read(path, text)) {
        sheet = ChordSheet{};
        return false;
    }
    return chords_parse(text, sheet);
}

bool chords_save(const std::string& path, const ChordSheet& sheet)
{
    return state_write(path, chords_text(sheet));
}
