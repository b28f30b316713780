// Which song plays: starting a track (skipping unplayable ones), the play
// queue implied by where playback started, and stepping through it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct AppState;
struct Track;

// Album, or "Unknown Album", a line feed, then artist, or "Unknown Artist".
std::string album_key(const Track& track);

// Loads and plays the track at `index`; on failure tries index + skip, and so
// on (skip 0: no retry). The index that started, or -1 (player stopped).
int32_t track_start(AppState& state, int32_t index, int32_t skip);
// Start from the song table: the queue follows the view (album, playlist, none).
void tracklist_play_idx(AppState& state, int32_t index);
// Start from an album tile or an opened album: the queue is that album.
void play_album_track(AppState& state, int32_t index);

// Track indices of the current queue; empty when there is none.
std::vector<int32_t> play_queue(const AppState& state);
// The queue entry after `from` by `step` (+1, -1; 0 = a shuffle pick that is
// never `from`'s position): a track index, -1 without a queue, -2 past the end
// without `wrap`.
int32_t queue_step(const AppState& state, int32_t from, int32_t step, bool wrap);
// What repeat mode 1 loops: "Album", "Playlist" or "All Songs".
std::string repeat_list_name(const AppState& state);
// A pseudo-random non-negative integer for shuffle picks.
uint32_t queue_random();
