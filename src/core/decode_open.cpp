#include "core/decode_open.h"

#include <mutex>

DecodeInput::~DecodeInput()
{
    if (fmt) avformat_close_input(&fmt);
}

void decode_quiet()
{
    static std::once_flag once;
    std::call_once(once, [] {
        if (av_lib_ok()) av_log_set_level(AV_LOG_QUIET);
    });
}

bool decode_open(const std::string& path, DecodeInput& in, bool stream_info)
{
    in.audio = -1;
    if (!av_lib_ok()) return false;
    decode_quiet();
    if (in.fmt) avformat_close_input(&in.fmt);
    if (avformat_open_input(&in.fmt, path.c_str(), nullptr, nullptr) < 0) {
        in.fmt = nullptr;
        return false;
    }
    if (stream_info && avformat_find_stream_info(in.fmt, nullptr) < 0) return false;
    // Cover pictures of MP3/FLAC/M4A are video streams with the attached-pic
    // disposition; the audio is what we want here.
    for (unsigned i = 0; i < in.fmt->nb_streams; ++i) {
        const AVStream* st = in.fmt->streams[i];
        if (st->codecpar->codec_type != AVMEDIA_TYPE_AUDIO) continue;
        in.audio = static_cast<int>(i);
        break;
    }
    return true;
}

AVCodecContext* decode_codec_open(const DecodeInput& in)
{
    AVStream* st = in.stream();
    if (!st) return nullptr;
    const AVCodec* codec = avcodec_find_decoder(st->codecpar->codec_id);
    if (!codec) return nullptr;
    AVCodecContext* ctx = avcodec_alloc_context3(codec);
    if (!ctx) return nullptr;
    if (avcodec_parameters_to_context(ctx, st->codecpar) < 0) {
        avcodec_free_context(&ctx);
        return nullptr;
    }
    ctx->pkt_timebase = st->time_base;
    if (avcodec_open2(ctx, codec, nullptr) < 0) avcodec_free_context(&ctx);
    return ctx;
}
