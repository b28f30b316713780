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

// The decoded length. For MP3, FLAC and PCM WAV it is summed from the demuxed
// packets (with the encoder delay and padding the decoder trims), which gives
// the same count as decoding; other types, and any file whose packets do not
// all carry a duration, are decoded. False when unopenable or without audio.
bool duration_frames(const std::string& path, DurationFrames& out);
// The same length, always by decoding every packet.
bool duration_frames_decoded(const std::string& path, DurationFrames& out);
