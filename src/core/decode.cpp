#include "core/decode.h"

#include <algorithm>

#include "core/decode_open.h"

namespace {

// Converts decoded frames to interleaved float at the requested rate and
// channel count. Rebuilt whenever a frame's format changes mid-stream
// (chained Ogg streams, some radio rips).
struct Resampler {
    SwrContext* swr = nullptr;
    int in_rate = 0;
    int in_fmt = -1;
    AVChannelLayout in_layout{};
    std::vector<float> scratch;

    ~Resampler() { reset(); }
    void reset()
    {
        swr_free(&swr);
        av_channel_layout_uninit(&in_layout);
        in_rate = 0;
        in_fmt = -1;
    }
};

// A frame's layout with a defined channel order (decoders of raw streams may
// report only a channel count).
AVChannelLayout frame_layout(const AVFrame* f)
{
    AVChannelLayout l{};
    if (f->ch_layout.order != AV_CHANNEL_ORDER_UNSPEC && av_channel_layout_check(&f->ch_layout))
        av_channel_layout_copy(&l, &f->ch_layout);
    else
        av_channel_layout_default(&l, std::max(1, f->ch_layout.nb_channels));
    return l;
}

bool same_input(const Resampler& r, const AVFrame* f)
{
    if (!r.swr || r.in_rate != f->sample_rate || r.in_fmt != f->format) return false;
    AVChannelLayout l = frame_layout(f);
    bool same = av_channel_layout_compare(&l, &r.in_layout) == 0;
    av_channel_layout_uninit(&l);
    return same;
}

// Mono output is the plain average of the input channels, and mono input
// goes to both stereo channels at full level: FFmpeg's default matrix would
// scale both by 1/sqrt(2), making mono songs quieter than stereo ones.
void set_simple_matrix(SwrContext* swr, int in_ch, int out_ch)
{
    std::vector<double> m;
    if (out_ch == 1) {
        m.assign(in_ch, 1.0 / in_ch);
    } else if (in_ch == 1) {
        m.assign(out_ch, 1.0);
    } else {
        return;
    }
    swr_set_matrix(swr, m.data(), in_ch);
}

bool resampler_setup(Resampler& r, const AVFrame* f, int rate, int channels)
{
    r.reset();
    r.in_layout = frame_layout(f);
    AVChannelLayout out_layout{};
    av_channel_layout_default(&out_layout, channels);
    int rc = swr_alloc_set_opts2(&r.swr, &out_layout, AV_SAMPLE_FMT_FLT, rate, &r.in_layout,
                                 static_cast<AVSampleFormat>(f->format), f->sample_rate, 0, nullptr);
    av_channel_layout_uninit(&out_layout);
    if (rc < 0 || !r.swr) return false;
    set_simple_matrix(r.swr, r.in_layout.nb_channels, channels);
    if (swr_init(r.swr) < 0) {
        r.reset();
        return false;
    }
    r.in_rate = f->sample_rate;
    r.in_fmt = f->format;
    return true;
}

// Appends converted samples; with a null frame, drains what the resampler
// holds. Converting into a reused scratch block and appending avoids
// zero-filling the (large) output first.
void resampler_push(Resampler& r, const AVFrame* f, int channels, std::vector<float>& out)
{
    int in_n = f ? f->nb_samples : 0;
    int cap = swr_get_out_samples(r.swr, in_n);
    if (cap <= 0) return;
    r.scratch.resize(static_cast<size_t>(cap) * channels);
    auto* dst = reinterpret_cast<uint8_t*>(r.scratch.data());
    int got = swr_convert(r.swr, &dst, cap, f ? const_cast<const uint8_t**>(f->extended_data) : nullptr,
                          in_n);
    if (got > 0) out.insert(out.end(), r.scratch.begin(), r.scratch.begin() + static_cast<size_t>(got) * channels);
}

void take_frame(Resampler& r, const AVFrame* f, int rate, int channels, std::vector<float>& out)
{
    if (f->nb_samples <= 0 || f->sample_rate <= 0) return;
    if (!same_input(r, f)) {
        if (r.swr) resampler_push(r, nullptr, channels, out);
        if (!resampler_setup(r, f, rate, channels)) return;
    }
    resampler_push(r, f, channels, out);
}

void drain_decoder(AVCodecContext* ctx, AVFrame* frame, Resampler& r, int rate, int channels,
                   std::vector<float>& out)
{
    while (avcodec_receive_frame(ctx, frame) >= 0) {
        take_frame(r, frame, rate, channels, out);
        av_frame_unref(frame);
    }
}

// Room for the whole song up front, so a long file is not copied while it
// grows. The stream's own length is known without probing for most types.
void reserve_for(const DecodeInput& in, int rate, int channels, std::vector<float>& out)
{
    const AVStream* st = in.stream();
    double secs = 0;
    if (st->duration > 0 && st->time_base.den > 0)
        secs = static_cast<double>(st->duration) * st->time_base.num / st->time_base.den;
    else if (in.fmt->duration > 0)
        secs = static_cast<double>(in.fmt->duration) / AV_TIME_BASE;
    if (secs <= 0 || secs > 4 * 3600) return;
    out.reserve(static_cast<size_t>((secs * 1.01 + 1) * rate) * channels);
}

}  // namespace

bool decode_audio(const std::string& path, int rate, int channels, std::vector<float>& out,
                  const std::atomic<bool>* cancel)
{
    out.clear();
    if (rate <= 0 || channels < 1 || channels > 2) return false;
    DecodeInput in;
    if (!decode_open(path, in, false) || in.audio < 0) return false;
    AVCodecContext* ctx = decode_codec_open(in);
    if (!ctx) return false;
    AVPacket* pkt = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    Resampler rs;
    bool ok = pkt && frame;
    if (ok) reserve_for(in, rate, channels, out);
    while (ok && av_read_frame(in.fmt, pkt) >= 0) {
        if (cancel && cancel->load(std::memory_order_relaxed)) ok = false;
        // A damaged packet is skipped; the rest of the song still plays.
        else if (pkt->stream_index == in.audio && avcodec_send_packet(ctx, pkt) >= 0)
            drain_decoder(ctx, frame, rs, rate, channels, out);
        av_packet_unref(pkt);
    }
    if (ok) {
        avcodec_send_packet(ctx, nullptr);
        drain_decoder(ctx, frame, rs, rate, channels, out);
        if (rs.swr) resampler_push(rs, nullptr, channels, out);
    }
    av_frame_free(&frame);
    av_packet_free(&pkt);
    avcodec_free_context(&ctx);
    // A file that opens but yields no samples (a stray header, zeros) has no audio.
    if (!ok || out.empty()) {
        out.clear();
        return false;
    }
    return true;
}
