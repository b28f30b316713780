// The one state object of the player: built once at start, passed by
// reference to every screen, tick and action. Main thread only, except the
// members whose comment names another thread.
#pragma once
#include <cstdint>
#include <memory>
#include <set>
#include <string>

#include "app/fonts.h"
#include "app/player.h"
#include "chords/chord_settings.h"
#include "core/library.h"

// Screens of the content area (values are stable).
enum class View : int32_t {
    Recent = 0,    // songs, newest first
    Songs = 1,     // all songs
    Artists = 2,   // songs ordered by artist
    Albums = 3,    // the album grid, or one opened album
    Playlist = 4,  // the songs of playlist_sel
    Device = 5,    // the device panel
    Download = 6,  // the downloader panel
    Trash = 7,     // the trash panel
};

// The song table's sort column and direction (view.toml).
struct SortPref {
    std::string column = "Album";  // header label of the sort column
    bool ascending = true;
    bool loaded = false;  // the file was read (or found missing) this run
};

// Per-area zoom input of one frame.
struct ZoomUi {
    float wheel = 0.0f;      // this frame's Ctrl+wheel amount
    float lines_acc = 0.0f;  // fractional accumulator of the lyric-lines zoom
    int32_t area = 0;        // zoom area under the mouse: 0 none, 1 songs, 2 albums, 3 dock, 4 lyrics
};

struct DurationJob;  // background duration refresh (app/startup_durations.h)

struct AppState {
    Library library;
    Player player;
    MusicFonts fonts;

    SortPref sort_pref;
    View view = View::Songs;

    // The queue: where the user started playing from.
    std::string queue_album;      // album key; empty when the queue is not an album
    int32_t queue_playlist = -1;  // playlist index; -1 when none

    // The album opened from the grid; an empty key means the grid is shown.
    std::string open_album_key;
    std::string open_album_title;
    std::string open_album_artist;
    std::string open_album_path;
    int32_t open_album_first = -1;

    ZoomUi zoom;
    float dock_drag = 0.0f;
    float lyrics_drag = 0.0f;
    double settings_save_at = 0.0;  // 0 = nothing pending
    std::string zoom_hud_text;
    double zoom_hud_time = -10.0;

    int32_t focus = -1;  // keyboard cursor row: an index into library.tracks
    bool table_dirty = false;
    std::set<std::string> selection;  // paths, so it survives re-sorting
    bool scroll_to_focus = false;
    int32_t current = -1;  // index of the loaded track; -1 when none
    char search[256] = {};
    bool shuffle = false;
    int32_t repeat = 0;  // 0 off, 1 loop the list, 2 loop the song
    std::string play_error;  // last "Can't play" message; cleared when a song starts
    int32_t playlist_sel = -1;

    // Library views, transport and look
    // Display settings; the zoom values of the song list, album grid, chord
    // dock and lyrics are kept here and saved with them.
    ChordSettings chord_settings;
    // Read from disk once before the first use, so a zoom save never
    // overwrites the user's file with defaults.
    bool chord_settings_loaded = false;
    std::vector<int32_t> table_rows;  // visible song-table rows of this frame, in order
    // The album grid's tiles, rebuilt only when the library or search changed.
    std::shared_ptr<struct AlbumGridCache> album_cache;

    // Start-up work: durations refreshed off the main thread, applied by the loop.
    std::shared_ptr<DurationJob> durations;

    AppState() = default;
    AppState(const AppState&) = delete;
    AppState& operator=(const AppState&) = delete;
};
