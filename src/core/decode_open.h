// Opening a media file through libavformat: shared by decoding, song lengths
// and container tags. Internal to the core.
#pragma once
#include <string>

#include "core/av_lazy.h"

// An open input and its best audio stream (-1 when it has none). Closes on
// destruction; not copyable.
struct DecodeInput {
    AVFormatContext* fmt = nullptr;
    int audio = -1;

    DecodeInput() = default;
    ~DecodeInput();
    DecodeInput(const DecodeInput&) = delete;
    DecodeInput& operator=(const DecodeInput&) = delete;

    AVStream* stream() const { return audio >= 0 ? fmt->streams[audio] : nullptr; }
};

// Keeps FFmpeg's own logging to errors only, so the tools' output stays clean.
// Safe to call from any thread, any number of times.
void decode_quiet();
// Opens `path`. With `stream_info`, probes the streams (decodes a little) so
// codec parameters are complete. False when unopenable; `in.audio` is -1
// when the file holds no audio stream.
bool decode_open(const std::string& path, DecodeInput& in, bool stream_info);
// A decoder for the input's audio stream, with its packet time base set.
// Caller frees it with avcodec_free_context. Null on failure.
AVCodecContext* decode_codec_open(const DecodeInput& in);
