// Properties the chord and lyric readers must keep on any input. Shared by
// the libFuzzer targets in this folder and by the seeded mutation tests that
// run in CI. Each check returns "" when the property holds, else what broke.
#pragma once
#include <cmath>
#include <string>
#include <vector>

#include "chords/chord_name.h"
#include "chords/chord_sheet.h"
#include "chords/chordpro.h"
#include "chords/sheet_bars.h"
#include "core/state.h"
#include "lyrics/cvl_cache.h"
#include "lyrics/lrc.h"

namespace fuzzcheck {

template <class T>
inline bool sorted_by_t(const std::vector<T>& v)
{
    for (size_t i = 1; i < v.size(); ++i)
        if (v[i].t < v[i - 1].t) return false;
    return true;
}

// Parsing never fails to reproduce itself: a parsed name formats back to the
// same text with neutral settings, and every setting combination yields text.
inline std::string chord_name(const std::string& in)
{
    ChordName c;
    bool ok = chord_parse(in, c);
    if (ok != (c.root >= 0)) return "parse result and root disagree";
    if (ok && (c.root > 11 || c.bass < -1 || c.bass > 11)) return "pitch class out of range";
    ChordSettings neutral;
    std::string same = chord_format(in, "", neutral);
    if (ok) {
        ChordName again;
        if (!chord_parse(same, again) || again.root != c.root || again.bass != c.bass)
            return "formatted name does not parse back";
    } else if (same != in) {
        return "non-chord text changed";
    }
    for (int notation = 0; notation <= 2; ++notation) {
        for (int simplify = 0; simplify <= 3; ++simplify) {
            ChordSettings s;
            s.notation = notation;
            s.simplify = simplify;
            s.transpose = static_cast<int>(in.size() % 23) - 11;
            s.capo = static_cast<int>(in.size() % 12);
            (void)chord_format(in, in.substr(0, in.size() / 2), s);
        }
    }
    int f = chord_function(in, "Am");
    if (f < 0 || f > 3) return "function out of range";
    return "";
}

// A parsed sheet is sorted, has no empty names and a clamped meter; writing
// it and reading it back is stable after the first round (times round to ms).
inline std::string chord_file(const std::string& in)
{
    ChordSheet s;
    bool has = chords_parse(in, s);
    if (has != !s.chords.empty()) return "result and chords disagree";
    if (s.meter < 1 || s.meter > 16) return "meter out of range";
    if (!sorted_by_t(s.chords) || !sorted_by_t(s.sections)) return "not sorted";
    for (const ChordEv& e : s.chords)
        if (e.name.empty() || std::isnan(e.t)) return "empty name or NaN time";
    std::string once = chords_text(s);
    ChordSheet r;
    chords_parse(once, r);
    if (r.chords.size() != s.chords.size() || r.sections.size() != s.sections.size())
        return "round trip lost entries";
    for (size_t i = 0; i < s.chords.size(); ++i)
        if (r.chords[i].name != s.chords[i].name) return "round trip changed a name";
    if (r.key != s.key) return "round trip changed the key";
    ChordSheet r2;
    chords_parse(chords_text(r), r2);
    if (chords_text(r2) != chords_text(r)) return "second round trip differs";
    std::vector<SheetBar> bars = sheet_bars(s, 30.0f);
    if (bars.size() > static_cast<size_t>(kSheetMaxBars) && !s.chords.empty() && s.bpm > 0)
        return "too many bars";
    for (const SheetBar& b : bars)
        for (const SheetSlot& sl : b.slots)
            if (sl.chord < 0 || static_cast<size_t>(sl.chord) >= s.chords.size())
                return "slot points outside the chords";
    return "";
}

// Input is split at the first NUL (or half way): LRC text, then ChordPro text.
// Every mark of the ChordPro text is either placed or counted as dropped.
inline std::string chordpro(const std::string& in)
{
    size_t cut = in.find('\0');
    if (cut == std::string::npos) cut = in.size() / 2;
    std::vector<LrcLine> lyrics = lrc_parse(in.substr(0, cut));
    std::string cho = in.substr(std::min(cut + 1, in.size()));
    size_t marks = 0;
    std::vector<ChoMark> m;
    for (const std::string& line : state_lines(cho)) {
        std::string text = chordpro_line(line, m);
        for (const ChoMark& k : m)
            if (k.pos > text.size()) return "mark beyond the lyric text";
        marks += m.size();
    }
    int dropped = -1;
    std::vector<ChordEv> out = chordpro_align(cho, lyrics, dropped);
    if (dropped < 0 || out.size() + static_cast<size_t>(dropped) != marks)
        return "placed + dropped != marks";
    if (!sorted_by_t(out)) return "aligned chords not sorted";
    ChordSheet s;
    chordpro_meta(cho, s);
    if (std::isnan(s.bpm) || s.bpm < 0) return "bad tempo";
    return "";
}

// Parsed LRC lines are sorted and non-empty and survive writing and reading.
inline std::string lrc(const std::string& in)
{
    std::vector<LrcLine> lines = lrc_parse(in);
    if (!sorted_by_t(lines)) return "lines not sorted";
    for (const LrcLine& l : lines)
        if (l.text.empty() || l.text.find('\r') != std::string::npos) return "bad line text";
    std::vector<LrcLine> back = lrc_parse(lrc_text(lines));
    if (back.size() != lines.size()) return "written lines do not read back";
    for (size_t i = 0; i < back.size(); ++i)
        if (back[i].text != lines[i].text && back[i].t == lines[i].t)
            return "written text reads back changed";
    std::vector<LrcLine> cvl;
    bool ok = parse_cvl_json(in, cvl);
    if (ok == cvl.empty()) return "cache parse result and lines disagree";
    for (const LrcLine& l : cvl)
        if (l.text.empty() || !std::isfinite(l.t)) return "bad cache line";
    return "";
}

}  // namespace fuzzcheck
