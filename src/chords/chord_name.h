// Chord names and the music theory every chord view shares: parsing,
// spelling, transposing, simplifying, degrees and harmonic function, plus the
// two lookups over time-ordered chord lists.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "chords/chord_settings.h"

struct ChordName {
    int32_t root = -1;    // pitch class 0 = C .. 11 = B; -1 = not a chord
    std::string quality;  // text after the root, up to the slash bass ("" = major)
    int32_t bass = -1;    // slash bass pitch class, -1 = none
    bool flat = false;    // the root was written with a 'b'
};

// One timed chord (or section label); lasts until the next event.
struct ChordEv {
    float t = 0.0f;
    std::string name;
};

// Reads a note (A..G then any run of 'b'/'#') at `pos`, advancing it; sets
// `flat` when a 'b' was seen. -1 (pos untouched) when there is no note.
int note_parse(const std::string& s, size_t& pos, bool& flat);
// Fills `out`; false (root -1) when the text does not start with a note.
bool chord_parse(const std::string& s, ChordName& out);
// Letter name of a pitch class (any integer, reduced mod 12).
std::string note_spell(int pc, bool flat);
// Whether a key is written with flats (minor keys by their relative major).
bool key_flat(const ChordName& key);
ChordName chord_transpose(ChordName c, int semis);
// Reduces a quality for the simplify setting 0..3.
std::string chord_simplify(const std::string& quality, int mode);
// Nashville number or Roman numeral of a chord in a key; "" without roots.
std::string chord_degree(const ChordName& chord, const ChordName& key, bool roman);
// The text the views show for a chord name (transpose, capo, notation, simplify).
std::string chord_format(const std::string& chord, const std::string& key, const ChordSettings& s);
// 0 other, 1 home, 2 away, 3 tension (by root interval only).
int chord_function(const std::string& chord, const std::string& key);
// Appends the names spread evenly over [t0, t1) to `out`; empties `names`.
void chord_spread(std::vector<std::string>& names, float t0, float t1, std::vector<ChordEv>& out);
// Index of the chord sounding at t in a sorted list, -1 before the first / none.
int chord_at(const std::vector<ChordEv>& chords, float t);
// Modification time in nanoseconds; 0 when the file cannot be examined.
int64_t chord_mtime(const std::string& path);
