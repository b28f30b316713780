// A chord sheet laid out as bars for the bar-grid view.
#pragma once
#include <cstdint>
#include <vector>

#include "chords/chord_sheet.h"

struct SheetSlot {
    float pos = 0.0f;     // fraction of the bar, 0 = bar start
    int32_t chord = -1;   // index into the sheet's chords
    bool held = false;    // sounding since before the bar
};

struct SheetBar {
    float t0 = 0.0f;
    float t1 = 0.0f;
    std::vector<SheetSlot> slots;  // ordered by pos
    int32_t section = -1;          // index into the sheet's sections, -1 = none
    int32_t num = 0;               // shown bar number, from 1
};

constexpr int kSheetMaxBars = 4000;

// The bars of a sheet for a song of `duration` seconds; empty without chords.
std::vector<SheetBar> sheet_bars(const ChordSheet& sheet, float duration);
// Index of the last bar starting at or before t; -1 before the first.
int sheet_bar_at(const std::vector<SheetBar>& bars, float t);
