#include "core/duration.h"

#include <cctype>
#include <cstring>

#include "core/decode_open.h"
#include "core/duration_lossless.h"
#include "core/duration_mp3.h"
#include "core/file_names.h"

namespace {

// Formats whose packets map one-to-one onto decoded frames of exactly the
// packet's duration, so counting packets equals decoding them.
bool packets_are_exact(const DecodeInput& in)
{
    const char* name = in.fmt->iformat->name;
    AVCodecID id = in.stream()->codecpar->codec_id;
    if (std::strcmp(name, "mp3") == 0) return id == AV_CODEC_ID_MP3;
    if (std::strcmp(name, "flac") == 0) return id == AV_CODEC_ID_FLAC;
    if (std::strcmp(name, "wav") == 0) {
        const AVCodecDescriptor* d = avcodec_descriptor_get(id);
        return d && std::strncmp(d->name, "pcm_", 4) == 0;
    }
    return false;
}

// Mirrors what the decoder does with the skip-samples side data: a start
// skip that may span several packets, and padding cut from one packet's end.
struct SkipState {
    int64_t pending = 0;
};

int64_t kept_samples(const AVPacket* pkt, int64_t n, SkipState& skip)
{
    size_t size = 0;
    const uint8_t* side = av_packet_get_side_data(pkt, AV_PKT_DATA_SKIP_SAMPLES, &size);
    int64_t pad = 0;
    if (side && size >= 10) {
        skip.pending = AV_RL32(side);
        pad = AV_RL32(side + 4);
    }
    if (skip.pending > 0) {
        if (n <= skip.pending) {
            skip.pending -= n;
            return 0;
        }
        n -= skip.pending;
        skip.pending = 0;
    }
    if (pad > 0 && pad <= n) n -= pad;
    return n;
}

// Sums packet durations; false when a packet lacks one (caller decodes instead).
bool count_packets(DecodeInput& in, DurationFrames& out)
{
    AVStream* st = in.stream();
    int rate = st->codecpar->sample_rate;
    if (rate <= 0) return false;
    AVPacket* pkt = av_packet_alloc();
    if (!pkt) return false;
    SkipState skip;
    int64_t total = 0;
    bool ok = true;
    while (ok && av_read_frame(in.fmt, pkt) >= 0) {
        if (pkt->stream_index == in.audio) {
            if (pkt->duration <= 0 || (pkt->flags & AV_PKT_FLAG_DISCARD) ||
                st->codecpar->sample_rate != rate)
                ok = false;
            else
                total += kept_samples(pkt, av_rescale(pkt->duration, int64_t(st->time_base.num) * rate,
                                                      st->time_base.den), skip);
        }
        av_packet_unref(pkt);
    }
    av_packet_free(&pkt);
    if (ok) out = {total, rate};
    return ok;
}

void count_frames(AVCodecContext* ctx, AVFrame* frame, DurationFrames& out)
{
    while (avcodec_receive_frame(ctx, frame) >= 0) {
        if (frame->sample_rate > 0 && frame->nb_samples > 0) {
            if (out.rate == 0) out.rate = frame->sample_rate;
            // A rate change mid-stream is counted at the first rate.
            out.frames += av_rescale(frame->nb_samples, out.rate, frame->sample_rate);
        }
        av_frame_unref(frame);
    }
}

bool count_decoded(DecodeInput& in, DurationFrames& out)
{
    AVCodecContext* ctx = decode_codec_open(in);
    if (!ctx) return false;
    AVPacket* pkt = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    out = {};
    while (pkt && frame && av_read_frame(in.fmt, pkt) >= 0) {
        if (pkt->stream_index == in.audio && avcodec_send_packet(ctx, pkt) >= 0)
            count_frames(ctx, frame, out);
        av_packet_unref(pkt);
    }
    if (pkt && frame) {
        avcodec_send_packet(ctx, nullptr);
        count_frames(ctx, frame, out);
    }
    av_frame_free(&frame);
    av_packet_free(&pkt);
    avcodec_free_context(&ctx);
    return out.rate > 0;
}

// The header-only readers, for the types that have one; each declines
// anything it is not sure of.
bool header_frames(const std::string& path, DurationFrames& out)
{
    std::string ext = io_file_ext(path);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext == ".mp3") return mp3_duration_frames(path, out);
    if (ext == ".flac") return flac_duration_frames(path, out);
    if (ext == ".wav") return wav_duration_frames(path, out);
    return false;
}

}  // namespace

bool duration_frames_decoded(const std::string& path, DurationFrames& out)
{
    DecodeInput in;
    out = {};
    if (!decode_open(path, in, false) || in.audio < 0) return false;
    return count_decoded(in, out);
}

bool duration_frames(const std::string& path, DurationFrames& out)
{
    out = {};
    if (header_frames(path, out)) return true;
    out = {};
    DecodeInput in;
    if (!decode_open(path, in, false) || in.audio < 0) return false;
    if (packets_are_exact(in)) {
        if (count_packets(in, out)) return true;
        // Rewinding is not reliable for every damaged file: reopen instead.
        if (!decode_open(path, in, false) || in.audio < 0) return false;
    }
    return count_decoded(in, out);
}

uint32_t estimate_mp3_duration(const std::string& path)
{
    DurationFrames d;
    if (!duration_frames(path, d) || d.rate <= 0 || d.frames <= 0) return 0;
    int64_t secs = (d.frames + d.rate / 2) / d.rate;
    return secs > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(secs);
}
