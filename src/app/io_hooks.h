// What track start asks of the I/O editing mode.
#pragma once
#include <cstdint>
#include <string>

struct AppState;

// Where a song should start playing (its In point when the I/O mode wants
// that), in seconds; 0 = from the top.
float io_start_at(AppState& state, const std::string& path);
// Length of the fade-in used when starting at an In point.
uint32_t io_fade_in_ms(const AppState& state);
