// The chords command: list, edit, import and detect a song's chord sheet.
#pragma once
#include <string>

#include "chords/chord_sheet.h"
#include "cli/cli.h"

// Applies the edit flags in argument order; the number of edits made, or -1
// after printing an error.
int cli_chords_edit(const Track& track, const CliArgs& args, ChordSheet& sheet);
// Replaces the chords by a ChordPro file aligned to the song's synced lyrics.
bool cli_chords_import(const Track& track, const std::string& file, ChordSheet& sheet);
// Runs chord detection into the sheet and reports it.
bool cli_chords_detect(const Track& track, ChordSheet& sheet);
// Reports a finished detection: on success the sheet takes `detected`.
bool cli_chords_detect_report(const Track& track, bool ok, const ChordSheet& detected,
                              ChordSheet& sheet);
// Seconds ("12.4") or minutes:seconds ("1:05.5").
float cli_chord_time(const std::string& text);
// The "[[song]]" record of a sheet.
std::string cli_chords_listing(const Track& track, const std::string& sheet_path,
                               const ChordSheet& sheet);
