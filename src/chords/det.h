// Chord detection: a song's samples (11025 Hz mono) in, a ChordSheet out.
// Front end: spectra, semitone bands, chroma and onset strength. Back end:
// tempo, beats, beat-synchronous chroma, template scores, best path, key,
// downbeat and chord events. Pure functions; several detections may run at
// once on different sheets.
#pragma once
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "chords/chord_sheet.h"

constexpr int kDetRate = 11025;
constexpr int kDetHop = 512;
constexpr float kDetFps = 21.533203f;      // frames per second, 11025 / 512
constexpr float kDetFrameSecs = 0.04643991f;
constexpr int kDetBands = 69;              // MIDI notes 28 (E1) .. 96 (C7)
constexpr int kDetLowNote = 28;
constexpr int kDetStates = 61;             // 60 templates + "no chord"

using DetSemi = std::array<float, kDetBands>;
using DetChroma = std::array<float, 12>;

// A magnitude spectrogram: `frames` rows of `bins` values.
struct DetSpectrum {
    std::vector<float> mag;
    int frames = 0;
    int bins = 0;
};

struct DetTpl {
    int root = 0;
    std::string suffix;
    DetChroma profile{};
};

// --- front end ---
// Decodes a song to 11025 Hz mono; empty (duration 0) when it cannot be decoded.
std::vector<float> det_decode(const std::string& path, float& duration);
// Number of N-point frames at hop 512 (0 when there are fewer than N samples).
int det_frame_count(size_t samples, int n);
// Hann-windowed magnitude spectra, calling `fn(frame, mags)` for each frame
// (mags holds N/2 values, scaled like a packed real FFT: twice the DFT).
// With `bins_used` >= 0 only the magnitudes of bins below it are filled.
void det_stft_each(const std::vector<float>& samples, int n,
                   const std::function<void(int, const float*)>& fn, int bins_used = -1);
DetSpectrum det_stft(const std::vector<float>& samples, int n);
// 69 semitone bands per frame of a 4096-point spectrum.
std::vector<DetSemi> det_semis(const DetSpectrum& spectrum);
// The same bands straight from the samples, without keeping the spectrogram.
std::vector<DetSemi> det_semis_pcm(const std::vector<float>& samples);
// Removes estimated harmonics of each band from the bands above it.
void det_unharm(std::vector<DetSemi>& frames);
// Log-compressed, unit-length chroma from MIDI notes lo..hi.
std::vector<DetChroma> det_fold(const std::vector<DetSemi>& frames, int lo, int hi);
// Onset strength of a 1024-point spectrum (spectral flux minus local mean).
std::vector<float> det_onset(const DetSpectrum& spectrum);
// The same curve straight from the samples.
std::vector<float> det_onset_pcm(const std::vector<float>& samples);

// --- beats ---
// Beat period in frames of the best tempo between 60 and 180 BPM.
float det_tempo(const std::vector<float>& onset);
// Beat frames, ascending, by dynamic programming.
std::vector<int> det_beats(const std::vector<float>& onset, float period);
// Least-squares period of at least 8 beats, when close to `period`.
float det_period(const std::vector<int>& beats, float period);

// --- chords, key, downbeat ---
// Mean chroma between consecutive boundaries (beats, 0 in front, end after).
std::vector<DetChroma> det_sync(const std::vector<DetChroma>& chroma, const std::vector<int>& beats);
const std::vector<DetTpl>& det_templates();
std::array<float, kDetStates> det_score(const DetChroma& treble, const DetChroma& bass,
                                        const std::vector<DetTpl>& tpls);
std::vector<int> det_viterbi(const std::vector<std::array<float, kDetStates>>& scores,
                             float penalty = 0.25f);
// Key name (Am, Eb ...) by Krumhansl-Kessler correlation of summed profiles.
std::string det_key(const std::vector<DetChroma>& profiles);
// Phase 0..meter-1 where the path changes most often.
int det_downbeat(const std::vector<int>& path, int meter = 4);
std::vector<ChordEv> det_events(const std::vector<int>& path, const std::vector<int>& starts,
                                const std::vector<DetTpl>& tpls, const std::string& key);
// The whole pipeline; false (sheet untouched) for under 8 long frames.
bool det_detect_pcm(const std::vector<float>& samples, ChordSheet& sheet);
