// Timed lyric lines of one song (LRC files and the sibling player's cache)
// and the line that is current at the playback position.
#pragma once
#include <string>
#include <vector>

struct LrcLine {
    float t = 0.0f;    // start, seconds from song start
    std::string text;  // never empty
};

// Used only on the thread that owns it (the player's frame loop, or the tool).
class LrcState {
public:
    std::vector<LrcLine> lines;  // sorted by t
    int cur = -1;                // current line, -1 = before the first / none
    bool loaded = false;         // at least one line was loaded

    // Sibling cache first, then <stem>.lrc; cur is -1 afterwards.
    void load(const std::string& song_path);
    void clear();
    // cur = last line whose time is at or before t.
    void update(float t);
    const std::string& current_text() const;
    const std::string& prev_text() const;
    const std::string& next_text() const;
};

// "<path without extension>.lrc" (extension = from the last '.').
std::string lrc_path(const std::string& song_path);
// One LRC line "[m:s.f]text"; false for anything else (tags, blank lines,
// carriage returns, timestamp-only lines).
bool lrc_parse_line(const std::string& line, LrcLine& out);
// Every timed line of an LRC text, sorted by time.
std::vector<LrcLine> lrc_parse(const std::string& text);
// Reads an LRC file; false (no lines) when it cannot be opened.
bool lrc_read(const std::string& path, std::vector<LrcLine>& lines);
// "[mm:ss.cc]" for a time in seconds (negative times clamp to 0).
std::string lrc_stamp(float t);
// An LRC text: one "[mm:ss.cc]text" line per entry, each ended by '\n'
// (a text starting with a space gets one more, which the reader drops).
std::string lrc_text(const std::vector<LrcLine>& lines);
