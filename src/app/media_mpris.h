// MPRIS 2 on the session bus: the desktop's media keys, headset buttons and
// Now Playing widgets reach the player as org.mpris.MediaPlayer2.lumora_music.
// Every function runs on the main thread; a small waker thread only watches
// the bus socket and wakes the frame loop.
#pragma once

struct AppState;

// Connects and exports the service; false (and quietly off) without a bus.
bool mpris_start(AppState& state);
// Answers every waiting call; run once per frame.
void mpris_pump();
// Announces changed status and metadata.
void mpris_publish(const AppState& state);
// Leaves the bus.
void mpris_stop();
// True once after a Quit call arrived.
bool mpris_take_quit();
