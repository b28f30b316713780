#include "chords/sheet_bars.h"

#include <algorithm>
#include <cmath>

namespace {

// First chord with t >= x.
size_t first_at_or_after(const std::vector<ChordEv>& chords, float x)
{
    auto it = std::lower_bound(chords.begin(), chords.end(), x,
                               [](const ChordEv& e, float v) { return e.t < v; });
    return static_cast<size_t>(it - chords.begin());
}

void fill_slots(SheetBar& bar, const std::vector<ChordEv>& chords, float d)
{
    float m = 0.08f * d;
    for (size_t i = first_at_or_after(chords, bar.t0 - m);
         i < chords.size() && chords[i].t < bar.t1 - m; ++i) {
        float t = chords[i].t;
        float pos = t <= 0.05f ? 0.0f : std::max((t - bar.t0) / d, 0.0f);
        bar.slots.push_back({pos, static_cast<int32_t>(i), false});
    }
    int held = chord_at(chords, bar.t0 - m);
    if (held >= 0 && (bar.slots.empty() || bar.slots.front().pos > 0.02f))
        bar.slots.insert(bar.slots.begin(), SheetSlot{0.0f, held, true});
}

std::vector<SheetBar> timed_bars(const ChordSheet& sheet, float end)
{
    std::vector<SheetBar> bars;
    const std::vector<ChordEv>& ch = sheet.chords;
    for (size_t i = 0; i < ch.size(); ++i) {
        SheetBar b;
        b.t0 = ch[i].t;
        b.t1 = i + 1 < ch.size() ? ch[i + 1].t : end;
        b.slots.push_back({0.0f, static_cast<int32_t>(i), false});
        b.num = static_cast<int32_t>(i + 1);
        bars.push_back(std::move(b));
    }
    return bars;
}

std::vector<SheetBar> tempo_bars(const ChordSheet& sheet, float end, float d)
{
    std::vector<SheetBar> bars;
    float first = sheet.chords.front().t;
    float f = sheet.downbeat < 0.0f ? first : sheet.downbeat;
    double x = std::floor((std::min(f, first) - f) / d + 0.0001f);
    // Bars that end before 0.05 s are never listed; jumping over them at once
    // keeps a sheet with far-negative times from walking millions of bars.
    double lead = std::floor((0.05 - f) / d) - 1.0;
    x = std::clamp(std::max(x, lead), -1e9, 1e9);
    long long k = static_cast<long long>(x);
    // The walk is bounded too: with absurd times (far beyond float precision)
    // the bar starts can stop advancing.
    int num = 1;
    for (int walked = 0; num <= kSheetMaxBars && walked < 2 * kSheetMaxBars; ++k, ++walked) {
        float t0 = std::fma(static_cast<float>(k), d, f);
        if (!(t0 < end)) break;
        float t1 = std::fma(static_cast<float>(k + 1), d, f);
        if (t1 <= 0.05f) continue;
        SheetBar b;
        b.t0 = t0;
        b.t1 = t1;
        b.num = num++;
        fill_slots(b, sheet.chords, d);
        bars.push_back(std::move(b));
    }
    return bars;
}

void place_sections(std::vector<SheetBar>& bars, const std::vector<ChordEv>& sections)
{
    for (size_t s = 0; s < sections.size(); ++s) {
        float t = sections[s].t;
        for (SheetBar& b : bars) {
            if (b.section < 0 && b.t0 - 0.001f <= t && t < b.t1 - 0.001f) {
                b.section = static_cast<int32_t>(s);
                break;
            }
        }
    }
}

}  // namespace

std::vector<SheetBar> sheet_bars(const ChordSheet& sheet, float duration)
{
    if (sheet.chords.empty()) return {};
    float end = std::max(duration, sheet.chords.back().t + 2.0f);
    float d = sheet.bpm > 0.0f ? static_cast<float>(sheet.meter) * 60.0f / sheet.bpm : 0.0f;
    float f = sheet.downbeat < 0.0f ? sheet.chords.front().t : sheet.downbeat;
    // A tempo so extreme that bars have no length, or times that are not
    // finite, cannot be laid on a grid: fall back to one bar per chord.
    bool grid = d > 0.0f && std::isfinite(d) && std::isfinite(f) &&
                std::isfinite(sheet.chords.front().t);
    std::vector<SheetBar> bars = grid ? tempo_bars(sheet, end, d) : timed_bars(sheet, end);
    place_sections(bars, sheet.sections);
    return bars;
}

int sheet_bar_at(const std::vector<SheetBar>& bars, float t)
{
    auto it = std::upper_bound(bars.begin(), bars.end(), t,
                               [](float v, const SheetBar& b) { return v < b.t0; });
    return static_cast<int>(it - bars.begin()) - 1;
}
