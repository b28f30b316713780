// What the player shows to the desktop's Now Playing: which track, its
// metadata and the playback status.
#pragma once
#include <cstdint>
#include <string>

struct AppState;

struct MprisMeta {
    bool has_track = false;
    std::string track_id = "/org/mpris/MediaPlayer2/TrackList/NoTrack";
    std::string title = "Lumora Music";
    std::string artist;
    std::string album;
    int64_t length_us = 0;
};

// The shown track: current, else focus, else the first; -1 with no tracks.
int32_t media_shown_track(const AppState& state);
MprisMeta mpris_meta(const AppState& state);
// The shown track's object path (the no-track path when there is none).
std::string mpris_track_id(const AppState& state);
// "Playing" when the shown track is current and playing, "Paused" when a song
// is loaded, otherwise "Stopped".
std::string mpris_status(const AppState& state);
