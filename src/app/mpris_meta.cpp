#include "app/mpris_meta.h"

#include "app/app_state.h"

int32_t media_shown_track(const AppState& s) {
    if (s.library.tracks.empty()) return -1;
    int32_t i = s.current >= 0 ? s.current : s.focus;
    if (i < 0 || size_t(i) >= s.library.tracks.size()) i = 0;
    return i;
}

std::string mpris_track_id(const AppState& s) {
    int32_t i = media_shown_track(s);
    if (i < 0) return MprisMeta{}.track_id;
    return "/org/lumora_music/track/" + std::to_string(i);
}

MprisMeta mpris_meta(const AppState& s) {
    MprisMeta m;
    int32_t i = media_shown_track(s);
    if (i < 0) return m;
    const Track& t = s.library.tracks[size_t(i)];
    m.has_track = true;
    m.track_id = mpris_track_id(s);
    m.title = t.title;
    m.artist = t.artist;
    m.album = t.album;
    double len = t.duration;
    if (len <= 0 && i == s.current) len = s.player.duration_sec();
    m.length_us = int64_t(len * 1e6);
    return m;
}

std::string mpris_status(const AppState& s) {
    int32_t i = media_shown_track(s);
    if (i >= 0 && i == s.current && s.player.playing) return "Playing";
    return s.player.loaded() ? "Paused" : "Stopped";
}
