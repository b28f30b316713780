// Fast MP3 length: walks the frame headers instead of decoding.
#pragma once
#include <string>

#include "core/duration.h"

// The decoded length of a plain MP3 (one ID3v2 tag or none, then Layer III
// frames of one sample rate back to back, optionally an ID3v1 tag), counting
// frames and applying the LAME encoder delay and padding the way the decoder
// trims them. False for anything unusual (junk between frames, a cut last
// frame, free format, rate changes): the caller then decodes the file.
bool mp3_duration_frames(const std::string& path, DurationFrames& out);
