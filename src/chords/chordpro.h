// ChordPro import: inline [chord] marks placed on the song's synced lyric
// lines, and the {key:} / {tempo:} directives.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "chords/chord_sheet.h"
#include "lyrics/lrc.h"

struct ChoMark {
    size_t pos = 0;     // offset into the lyric text with the marks removed
    std::string chord;  // text between the brackets
};

// Lyric text of one ChordPro line with its chord marks; directives, comments
// and blank lines give "" and no marks.
std::string chordpro_line(const std::string& line, std::vector<ChoMark>& marks);
// Applies {key: ...} / {k: ...} and {tempo: ...} to the sheet.
void chordpro_meta(const std::string& text, ChordSheet& sheet);
// Timed chords of a ChordPro text aligned to synced lyric lines; `dropped`
// counts the chords on lines that matched no lyric line.
std::vector<ChordEv> chordpro_align(const std::string& text, const std::vector<LrcLine>& lyrics,
                                    int& dropped);
// Lower-cased words (letters, digits, UTF-8 bytes; apostrophes dropped).
std::vector<std::string> lyric_words(const std::string& text);
// Share of the words of `a` paired with equal words of `b`, over the larger count.
float lyric_match(const std::vector<std::string>& a, const std::vector<std::string>& b);
