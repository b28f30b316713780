// Loudness over time and the suggested In/Out points built from it and from
// the recogniser's sentences.
#pragma once
#include <string>
#include <vector>

#include "cli/asr.h"
#include "core/track.h"

// Mean power in dB per window (-120 for silence) of the song decoded at
// 22050 Hz mono; sets `duration` to the decoded length. Empty when undecodable
// (duration then untouched).
std::vector<float> cli_loudness(const std::string& path, double window, double& duration);
// Start in seconds of the first 2 s run of windows within 6 dB of the median; 0 when none.
double cli_beat_in(const std::vector<float>& curve, double window);
// Suggested In from the first sentence near or after the music start; -1 when none.
double cli_suggest_in(const std::vector<Seg>& segs, double beat_in);
// Suggested Out after the last sentence, capped at the duration; -1 when none.
double cli_suggest_out(const std::vector<Seg>& segs, double duration);
// The whole suggestion for one song; true with a usable pair.
bool cli_autoio_suggest(const Track& track, double& in_out, double& out_out);
