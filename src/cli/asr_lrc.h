// Synced lyrics (LRC text) built from the recogniser's timed tokens.
#pragma once
#include <string>
#include <vector>

struct SongWord {
    float start = 0;
    float end = 0;
    std::string text;
};

// The words of a recogniser output, one list per sentence that has any.
std::vector<std::vector<SongWord>> cli_asr_words(const std::string& json_path);
// LRC text from those words (at most 9 words a line, new line after a 0.6 s
// gap), or "" when there are none.
std::string cli_asr_lrc(const std::string& json_path);
// "[mm:ss.xx]" for a time in seconds (negative clamps to 0).
std::string cli_lrc_stamp(double seconds);
