// Organize (file loose songs into Artist/Album/) and relocate (copy the
// library to another folder): plans, moves, journals and repointing.
#pragma once
#include <string>
#include <vector>

#include "core/library.h"

struct Move {
    std::string from;
    std::string to;
    bool file = true;  // false: only the records naming the path change
    // Old names still to remove once every record points at `to` (the file
    // and its side files were hard-linked into place, not renamed).
    std::vector<std::string> drop;
};

// Suffixes of the files that travel with a song, in this order.
const std::vector<std::string>& org_side_suffixes();

// Folder-name-safe form of an artist or album name.
std::string org_safe(const std::string& name, const std::string& fallback);
// root/Artist/Album/<file name> for a song.
std::string org_target(const std::string& root, const Track& track);
// The organize plan; adds loose audio files of the root to the in-memory catalog.
std::vector<Move> org_plan(Library& library);
// `path` without a leading "root/".
std::string org_show(const std::string& root, const std::string& path);

// An organize journal being written move by move, so that an interrupted run
// can still be undone.
struct OrgJournal {
    std::string path;
    int fd = -1;
    size_t moves = 0;
    ~OrgJournal();
    // Creates the file with its header; false when it cannot be written.
    bool open();
    bool add(const Move& m);
    // Removes a journal that recorded no move.
    void discard_if_empty();
};
// The journal's text for these moves (header included).
std::string org_journal_header(const std::string& path);
std::string org_journal_entry(const Move& m);
// A fresh journal name in ~/.lumoramusic/organize/ (never an existing one).
std::string org_journal_new_path();
// Writes a whole journal; returns its path ("" when it could not be written).
std::string org_journal_write(const std::vector<Move>& moves);
// Moves of a journal, from and to swapped when `reverse`; empty when unreadable.
std::vector<Move> org_journal_read(const std::string& path, bool reverse);

// Puts each file at its target (free names where taken) and records each
// performed move in `journal` when given. Returns the performed moves with
// their final targets. The old names stay until org_drop_sources.
std::vector<Move> org_move_files(const std::vector<Move>& moves, OrgJournal* journal = nullptr);
// Gives the file `from` the name `to` too (hard link) or instead (rename, on
// drives without hard links), never replacing an existing file; `linked` tells
// which. False (errno set) when neither worked.
bool org_link_or_rename(const std::string& from, const std::string& to, bool& linked);
// Removes the old names of performed moves whose new name holds the same file.
void org_drop_sources(const std::vector<Move>& moves);
// Repoints catalog, playlists, points, originals, trash and speech cache; saves them.
void org_remap(Library& library, const std::vector<Move>& moves);
// Renames speech-cache folders along performed file moves.
void org_remap_asr(const std::vector<Move>& moves);

// Test hook: LUMORA_TEST_ORG_ABORT="<stage>:<n>" kills the process after the
// n-th step of that stage ("move" or "drop"), to prove interruptions are safe.
void org_test_abort(const char* stage, size_t done);

// The relocate plan: every song under the scan root, to the same place under dir.
std::vector<Move> reloc_plan(const Library& library, const std::string& dir);
// Copies one file (kept when the target exists); true when both sizes agree.
bool reloc_copy_one(const std::string& from, const std::string& to);
// Copies every file move with its side files; returns the performed moves.
std::vector<Move> reloc_copy_files(const std::vector<Move>& moves);
