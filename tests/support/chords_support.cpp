#include "support/chords_support.h"

#include <cmath>
#include <cstdint>

namespace tsup {

namespace {

constexpr int kRate = 11025;

std::vector<int> intervals(const std::string& kind)
{
    if (kind == "m") return {0, 3, 7};
    if (kind == "7") return {0, 4, 7, 10};
    if (kind == "m7") return {0, 3, 7, 10};
    if (kind == "maj7") return {0, 4, 7, 11};
    return {0, 4, 7};
}

float midi_hz(int note)
{
    return 440.0f * std::pow(2.0f, (note - 69) / 12.0f);
}

}  // namespace

std::vector<float> synth_song(const std::vector<SynthChord>& chords, float bpm, float lead,
                              float click)
{
    size_t beat_len = static_cast<size_t>(kRate * 60.0f / bpm);
    std::vector<float> out(static_cast<size_t>(lead * kRate), 0.0f);
    uint32_t seed = 12345;
    for (const SynthChord& c : chords) {
        std::vector<float> freqs;
        for (int iv : intervals(c.kind)) freqs.push_back(midi_hz(60 + c.root + iv));
        freqs.push_back(midi_hz(36 + c.root));  // bass
        for (int b = 0; b < c.beats; ++b) {
            for (size_t i = 0; i < beat_len; ++i) {
                double t = static_cast<double>(out.size()) / kRate;
                float env = std::exp(-3.0f * static_cast<float>(i) / beat_len);
                float v = 0.0f;
                for (float f : freqs) v += 0.12f * env * static_cast<float>(std::sin(2 * M_PI * f * t));
                if (i < 110) {  // 10 ms click of noise on the beat
                    seed = seed * 1664525u + 1013904223u;
                    v += click * (static_cast<float>(seed >> 8) / 8388608.0f - 1.0f);
                }
                out.push_back(v);
            }
        }
    }
    return out;
}

std::vector<float> synth_sine(float freq, float seconds, float amp)
{
    std::vector<float> out(static_cast<size_t>(seconds * kRate));
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = amp * static_cast<float>(std::sin(2 * M_PI * freq * i / kRate));
    return out;
}

}  // namespace tsup
