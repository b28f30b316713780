// A song's chord sheet and its file "<stem>.chords.toml" beside the song.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "chords/chord_name.h"

struct ChordSheet {
    std::string key;               // a chord name (Am, Eb); "" = unknown
    float bpm = 0.0f;              // 0 or less = no tempo
    int32_t meter = 4;             // beats per bar, 1..16
    float downbeat = -1.0f;        // time of a beat 1; negative = first chord
    std::vector<ChordEv> chords;   // sorted by t
    std::vector<ChordEv> sections; // labels, sorted by t
};

// "<path without extension>.chords.toml" (a dot only counts after the last '/').
std::string chords_path(const std::string& audio_path);
// The file text of a sheet.
std::string chords_text(const ChordSheet& sheet);
// Parses a sheet file's text into `sheet` (reset first); true with >= 1 chord.
bool chords_parse(const std::string& text, ChordSheet& sheet);
// Reads a sheet file (missing file = default sheet); true with >= 1 chord.
bool chords_load(const std::string& path, ChordSheet& sheet);
// Replaces the file atomically; false (old file untouched) on failure.
bool chords_save(const std::string& path, const ChordSheet& sheet);
// Decodes the song and detects its chords into `sheet`; does not save.
// False when the song decodes to nothing or no chord was found.
bool chords_detect(const std::string& audio_path, ChordSheet& sheet);
