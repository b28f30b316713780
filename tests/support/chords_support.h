// Synthetic songs for chord detection tests: sine chords over a click track.
#pragma once
#include <string>
#include <vector>

namespace tsup {

struct SynthChord {
    int root;           // pitch class, C = 0
    std::string kind;   // "", "m", "7", "m7" or "maj7"
    int beats;          // length in beats
};

// 11025 Hz mono samples: `lead` seconds of silence, then each chord as sine
// partials (bass note an octave below), with a short click on every beat.
std::vector<float> synth_song(const std::vector<SynthChord>& chords, float bpm, float lead = 0.0f,
                              float click = 0.5f);
// A pure sine at `freq` Hz.
std::vector<float> synth_sine(float freq, float seconds, float amp = 0.5f);

}  // namespace tsup
