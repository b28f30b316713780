// Play/pause, next and previous, from the keyboard and from the desktop's
// media keys (MPRIS), debounced so one press arriving twice acts once.
#pragma once
#include <cstdint>

struct AppState;

void media_toggle(AppState& state);
void media_next(AppState& state);
void media_prev(AppState& state);

// Commands: 0 previous, 1 play/pause, 2 next. Dropped before a state is
// installed, above 2, or within 0.12 s of the same command.
void media_apply(int command);
// The same with an explicit clock (seconds), for callers that have one.
void media_apply_at(int command, double now);

// Per-frame keys: Space toggles; F7/F8/F9 are previous, play/pause, next.
void handle_space_key(AppState& state);
void handle_media_keys(AppState& state);

// Stores the state for the platform callbacks (keys and remote commands).
void install_media_tap(AppState& state);
// Also starts the MPRIS service on the session bus (quietly off without one)
// and publishes once.
void install_media_remote(AppState& state);
// Forgets the state and closes the MPRIS service.
void media_uninstall();
// The installed state, or null.
AppState* media_state();
// Pushes Now Playing (MPRIS metadata, status, position).
void media_remote_publish(const AppState& state);
