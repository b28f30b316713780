#include "app/track_start.h"

#include <sys/stat.h>

#include <random>
#include <unordered_map>

#include "app/app_state.h"
#include "app/io_hooks.h"
#include "app/media.h"

std::string album_key(const Track& t) {
    std::string key = t.album.empty() ? "Unknown Album" : t.album;
    key += '\n';
    key += t.artist.empty() ? "Unknown Artist" : t.artist;
    return key;
}

static bool track_valid(const AppState& s, int32_t i) {
    return i >= 0 && size_t(i) < s.library.tracks.size();
}

static std::string track_fail_reason(const std::string& path) {
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0 ? "format not supported" : "file missing";
}

// One attempt: load, move the cursor along, honour an In point, play.
static bool track_try(AppState& s, int32_t index) {
    const Track& t = s.library.tracks[size_t(index)];
    if (!s.player.load(t.path)) {
        s.play_error = "Can't play \"" + t.title + "\": " + track_fail_reason(t.path);
        return false;
    }
    if (s.selection.empty() && (s.focus < 0 || s.focus == s.current)) s.focus = index;
    s.current = index;
    float at = io_start_at(s, t.path);
    if (at > 0.0f) {
        s.player.fade(0.0f, 1.0f, io_fade_in_ms(s));
        s.player.seek(at);
    }
    s.player.play();
    s.play_error.clear();
    return true;
}

int32_t track_start(AppState& s, int32_t index, int32_t skip) {
    size_t tries = s.library.tracks.size();
    for (size_t n = 0; n < tries && track_valid(s, index); ++n) {
        if (track_try(s, index)) return index;
        if (skip == 0) break;
        index += skip;
    }
    s.player.stop();
    s.current = -1;
    return -1;
}

void tracklist_play_idx(AppState& s, int32_t index) {
    if (!track_valid(s, index)) return;
    s.queue_album = s.view == View::Albums ? s.open_album_key : std::string();
    s.queue_playlist = s.view == View::Playlist ? s.playlist_sel : -1;
    track_start(s, index, 0);
    media_remote_publish(s);
}

void play_album_track(AppState& s, int32_t index) {
    if (!track_valid(s, index)) return;
    s.focus = index;
    s.queue_album = album_key(s.library.tracks[size_t(index)]);
    s.queue_playlist = -1;
    track_start(s, index, 0);
    media_remote_publish(s);
}

std::vector<int32_t> play_queue(const AppState& s) {
    std::vector<int32_t> q;
    const auto& tracks = s.library.tracks;
    if (!s.queue_album.empty()) {
        for (size_t i = 0; i < tracks.size(); ++i)
            if (album_key(tracks[i]) == s.queue_album) q.push_back(int32_t(i));
        return q;
    }
    if (s.queue_playlist < 0 || size_t(s.queue_playlist) >= s.library.playlists.size()) return q;
    std::unordered_map<std::string, int32_t> index_of;
    for (size_t i = 0; i < tracks.size(); ++i) index_of[tracks[i].path] = int32_t(i);
    for (const auto& path : s.library.playlists[size_t(s.queue_playlist)].paths) {
        auto it = index_of.find(path);
        if (it != index_of.end()) q.push_back(it->second);
    }
    return q;
}

uint32_t queue_random() {
    static std::mt19937 rng{std::random_device{}()};
    return rng();
}

int32_t queue_step(const AppState& s, int32_t from, int32_t step, bool wrap) {
    std::vector<int32_t> q = play_queue(s);
    const int64_t n = int64_t(q.size());
    if (n == 0) return -1;
    int64_t p = -1;
    for (int64_t i = 0; i < n; ++i)
        if (q[size_t(i)] == from) p = i;
    if (step != 0) {
        if (p < 0) return step > 0 ? q.front() : q.back();
        int64_t i = p + step;
        if (i >= 0 && i < n) return q[size_t(i)];
        if (!wrap) return -2;
        return q[size_t(((i % n) + n) % n)];
    }
    if (n == 1) return q[0];
    int64_t base = p < 0 ? 0 : p;
    return q[size_t((base + 1 + int64_t(queue_random() % uint32_t(n - 1))) % n)];
}

std::string repeat_list_name(const AppState& s) {
    if (!s.queue_album.empty()) return "Album";
    if (s.queue_playlist >= 0 && size_t(s.queue_playlist) < s.library.playlists.size())
        return "Playlist";
    return "All Songs";
}
