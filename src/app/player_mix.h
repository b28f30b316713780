// The mixing core of the playback engine: one decoded song, its cursor and
// its fade ramp, rendered a block at a time. Pure data and functions, so the
// engine's behaviour can be checked by pulling frames without a device.
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A song being decoded on a worker. The worker writes `pcm` and then sets
// `done`; everyone else reads `pcm` only after seeing `done`.
struct DecodeJob {
    std::atomic<bool> done{false};
    std::atomic<bool> ok{false};
    std::atomic<bool> cancel{false};
    std::vector<float> pcm;  // interleaved stereo at the engine rate
    float estimate_sec = 0.0f;  // the container's length, shown until decoded
};

// The loaded song as the mixer sees it. Guarded by the engine's lock.
struct MixSound {
    std::shared_ptr<DecodeJob> job;
    int rate = 0;
    uint64_t cursor = 0;   // next frame to play
    bool running = false;  // started and not yet stopped by a pause ramp or the end
    bool at_end = false;   // the cursor reached the last frame while running
    // Linear ramp of the level: from -> to over len frames, pos frames done.
    float fade_from = 1.0f;
    float fade_to = 1.0f;
    uint64_t fade_len = 0;
    uint64_t fade_pos = 0;
    bool stop_after_fade = false;  // a pause: stop running when the ramp ends
};

// Decoded frames available (0 while decoding or after a failure).
uint64_t mix_frames(const MixSound& s);
// The level right now (0..1).
float mix_level(const MixSound& s);
// A new ramp; from < 0 starts at the current level.
void mix_set_fade(MixSound& s, float from, float to, uint64_t frames);
// Writes `frames` stereo frames: the song at its level, silence where there is
// nothing to play (not running, still decoding, past the end).
void mix_render(MixSound& s, float* out, int frames);
// Frames of `ms` milliseconds at `rate`.
uint64_t mix_ms_frames(uint32_t ms, int rate);
