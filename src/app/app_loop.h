// The frame loop: poll, build the interface, present, advance to the next
// song; and the start and end of the player's life around it.
#pragma once

struct AppState;
struct GLFWwindow;

// The whole life of the player; 1 when the window or audio cannot start.
int music_app_run();
// Runs frames until the window is asked to close; returns 0.
int app_main_loop(GLFWwindow* window, AppState& state);
// Builds the whole interface of one frame.
void app_loop_ui(AppState& state);
// The content column right of the sidebar.
void draw_app_content(AppState& state);
// At the end of a song: counts the play and starts the next one.
void app_loop_advance(AppState& state);
// The index that follows `current` at its end (-1: stop), given the queue's
// answer `queued` (a track, -1 no queue, -2 past the end) and a random pick.
int app_next_index(const AppState& state, int queued, unsigned random);
