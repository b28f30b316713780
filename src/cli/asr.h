// The speech recogniser: its per-file result cache under ~/.lumoramusic/asr/
// and the timed sentences read from its JSON output.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct Seg {
    float start = 0;
    float end = 0;
    std::string text;
};

// The cache folder for an audio file of this path and byte size.
std::string asr_dir(const std::string& path, uint64_t size);
// The recogniser's result for a song, running it when the cache has none;
// "" when there is no result.
std::string cli_asr_json(const std::string& path);
// The recogniser program: $LUMORA_ASR, or "parakeet-mlx".
std::string cli_asr_program();
// Sentences of a recogniser output that hold at least one real word.
std::vector<Seg> cli_asr_segs(const std::string& json_path);
