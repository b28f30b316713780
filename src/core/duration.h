// Song length from the audio itself.
#pragma once
#include <cstdint>
#include <string>

// Decoded length of any catalog audio file, rounded to the nearest second;
// 0 when the file cannot be opened or holds no audio. (The name is historical:
// it serves every type the decoder opens.)
uint32_t estimate_mp3_duration(const std::string& path);
