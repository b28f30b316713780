// Song length from the audio itself.
#pragma once
#include <cstdint>
#include <string>

// Decoded length of any catalog audio file, rounded to the nearest second;
// 0 when the file cannot be opened or holds no audio. (The name is historical:
// it serves every type the decoder opens.)
uint32_t estimate_mp3_duration(const std::string& path);

// A length in sample frames at the stream's own sample rate.
struct DurationFrames {
    int64_t frames = 0;
    int rate = 0;
};

// The decoded length. MP3 (a walk over the frame headers), FLAC and PCM WAV
// (their headers) are read without decoding, each only when it is sure to
// give the decoder's own count; other types, and any file those readers
// decline, are decoded (FLAC and WAV by counting demuxed packets). False when
// unopenable or without audio.
bool duration_frames(const std::string& path, DurationFrames& out);
// The same length, always by decoding every packet.
bool duration_frames_decoded(const std::string& path, DurationFrames& out);
