#include "app/player_mix.h"

#include <algorithm>
#include <cstring>
#include <memory>

uint64_t mix_frames(const MixSound& s) {
    if (!s.job || !s.job->done.load(std::memory_order_acquire) || !s.job->ok.load()) return 0;
    return s.job->pcm.size() / 2;
}

float mix_level(const MixSound& s) {
    if (s.fade_pos >= s.fade_len) return s.fade_to;
    float t = float(s.fade_pos) / float(s.fade_len);
    return s.fade_from + (s.fade_to - s.fade_from) * t;
}

void mix_set_fade(MixSound& s, float from, float to, uint64_t frames) {
    float start = from < 0.0f ? mix_level(s) : from;
    s.fade_from = std::clamp(start, 0.0f, 1.0f);
    s.fade_to = std::clamp(to, 0.0f, 1.0f);
    s.fade_len = frames;
    s.fade_pos = 0;
}

uint64_t mix_ms_frames(uint32_t ms, int rate) {
    return uint64_t(ms) * uint64_t(rate) / 1000u;
}

// Nothing plays until the decode is done: the cursor and the ramp wait, so
// a seek or fade set while loading takes effect from the first real frame.
static bool mix_can_play(const MixSound& s) {
    return s.running && s.job && s.job->done.load(std::memory_order_acquire) && s.job->ok.load();
}

void mix_render(MixSound& s, float* out, int frames) {
    std::memset(out, 0, sizeof(float) * 2 * size_t(std::max(frames, 0)));
    if (!mix_can_play(s)) return;
    const std::vector<float>& pcm = s.job->pcm;
    const uint64_t total = pcm.size() / 2;
    for (int i = 0; i < frames; ++i) {
        if (s.cursor >= total) {
            s.at_end = true;
            s.running = false;
            return;
        }
        float level = mix_level(s);
        out[2 * i] = pcm[2 * s.cursor] * level;
        out[2 * i + 1] = pcm[2 * s.cursor + 1] * level;
        ++s.cursor;
        if (s.fade_pos < s.fade_len) ++s.fade_pos;
        if (s.stop_after_fade && s.fade_pos >= s.fade_len) {
            s.stop_after_fade = false;
            s.running = false;
            return;
        }
    }
    // A song that ends exactly on a block edge is at its end now, not one
    // callback later.
    if (s.cursor >= total) {
        s.at_end = true;
        s.running = false;
    }
}
