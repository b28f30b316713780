// Fast FLAC and WAV lengths from their headers, without decoding.
#pragma once
#include <string>

#include "core/duration.h"

// FLAC: the stream's total sample count from STREAMINFO, taken only when the
// last frame in the file ends exactly there (so a cut file is not trusted).
// False otherwise, or when the file starts with anything but "fLaC".
bool flac_duration_frames(const std::string& path, DurationFrames& out);
// WAV: the data chunk's whole sample frames, for integer and float PCM.
// False for compressed WAV, RF64 and data chunks of unknown size.
bool wav_duration_frames(const std::string& path, DurationFrames& out);
