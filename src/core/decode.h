// Whole-file audio decoding through the FFmpeg libraries.
#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

// Decodes every sample of a file, resampled to `rate` Hz with `channels`
// channels (1 = mono mix, 2 = stereo), as interleaved floats in `out`.
// False when the file cannot be opened or has no audio stream. When `cancel`
// is given and becomes true, decoding stops early and returns false. A file
// that yields no samples at all also gives false. Thread-safe.
bool decode_audio(const std::string& path, int rate, int channels, std::vector<float>& out,
                  const std::atomic<bool>* cancel = nullptr);
