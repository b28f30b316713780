// Signal front end of chord detection: decoding, windowed spectra, semitone
// bands, harmonic reduction, chroma folding and onset strength.
#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <mutex>

#include "chords/det.h"
#include "core/decode.h"

namespace {

// FFTW's planner is not thread-safe (executing a plan is), and detections
// may run on several threads at once.
std::mutex g_plan_mutex;

struct FftPlan {
    int n;
    float* in;
    fftwf_complex* out;
    fftwf_plan plan;

    explicit FftPlan(int size) : n(size)
    {
        std::lock_guard<std::mutex> lock(g_plan_mutex);
        in = fftwf_alloc_real(static_cast<size_t>(n));
        out = fftwf_alloc_complex(static_cast<size_t>(n / 2 + 1));
        // ESTIMATE, not MEASURE: a measured plan may differ between runs and
        // with it the rounding, and detection must be repeatable.
        plan = fftwf_plan_dft_r2c_1d(n, in, out, FFTW_ESTIMATE);
    }
    ~FftPlan()
    {
        std::lock_guard<std::mutex> lock(g_plan_mutex);
        fftwf_destroy_plan(plan);
        fftwf_free(in);
        fftwf_free(out);
    }
    FftPlan(const FftPlan&) = delete;
    FftPlan& operator=(const FftPlan&) = delete;
};

std::vector<float> hann_norm(int n)
{
    std::vector<float> w(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        w[i] = static_cast<float>(0.8165 * (1.0 - std::cos(2.0 * M_PI * i / n)));
    return w;
}

// Bin -> band map of the 4096-point spectrum, built once.
struct SemiMap {
    std::vector<int> band;  // -1 = unused
    std::vector<float> weight;
    int top = 0;            // one past the last used bin
};

const SemiMap& semi_map()
{
    static const SemiMap map = [] {
        SemiMap m;
        int bins = 2048;
        m.band.assign(bins, -1);
        m.weight.assign(bins, 0.0f);
        for (int k = 1; k < bins; ++k) {
            float f = static_cast<float>(k) * 11025.0f / 4096.0f;
            float p = 69.0f + 12.0f * std::log2(f / 440.0f);
            float r = std::round(p);
            int b = static_cast<int>(r) - kDetLowNote;
            if (b < 0 || b >= kDetBands) continue;
            m.band[k] = b;
            m.weight[k] = std::cos(static_cast<float>(M_PI) * std::fabs(p - r));
            m.top = k + 1;
        }
        return m;
    }();
    return map;
}

void semis_frame(const float* mag, int bins, DetSemi& out)
{
    const SemiMap& m = semi_map();
    out.fill(0.0f);
    int top = std::min(bins, m.top);
    for (int k = 1; k < top; ++k)
        if (m.band[k] >= 0) out[m.band[k]] += m.weight[k] * mag[k];
}

// Flux against the previous frame's magnitudes, which it then replaces.
// log1p(100a) - log1p(100b) is taken as log1p(100(a - b) / (1 + 100b)), and
// only for rising bins: the same value with half the logarithms.
float flux_frame(const float* mag, int bins, std::vector<float>& prev, bool first)
{
    float flux = 0.0f;
    for (int k = 1; k < bins; ++k) {
        float a = mag[k], b = prev[k];
        if (!first && a > b) flux += std::log1p(100.0f * (a - b) / (1.0f + 100.0f * b));
        prev[k] = a;
    }
    return first ? 0.0f : flux;
}

// Subtracts the centred 33-frame mean, clipped at 0.
std::vector<float> remove_local_mean(const std::vector<float>& flux)
{
    int n = static_cast<int>(flux.size());
    std::vector<double> prefix(flux.size() + 1, 0.0);
    for (int i = 0; i < n; ++i) prefix[i + 1] = prefix[i] + flux[i];
    std::vector<float> onset(flux.size());
    for (int i = 0; i < n; ++i) {
        int a = std::max(0, i - 16), b = std::min(n - 1, i + 16);
        double mean = (prefix[b + 1] - prefix[a]) / (b - a + 1);
        onset[i] = std::max(static_cast<float>(flux[i] - mean), 0.0f);
    }
    return onset;
}

}  // namespace

std::vector<float> det_decode(const std::string& path, float& duration)
{
    std::vector<float> samples;
    if (!decode_audio(path, kDetRate, 1, samples)) samples.clear();
    duration = static_cast<float>(samples.size()) / kDetRate;
    return samples;
}

int det_frame_count(size_t samples, int n)
{
    if (n <= 0 || samples < static_cast<size_t>(n)) return 0;
    return static_cast<int>((samples - n) / kDetHop + 1);
}

void det_stft_each(const std::vector<float>& samples, int n,
                   const std::function<void(int, const float*)>& fn, int bins_used)
{
    bins_used = bins_used < 0 ? n / 2 : std::min(bins_used, n / 2);
    int frames = det_frame_count(samples.size(), n);
    if (frames == 0) return;
    FftPlan fft(n);
    std::vector<float> w = hann_norm(n);
    std::vector<float> mag(static_cast<size_t>(n / 2));
    for (int i = 0; i < frames; ++i) {
        const float* x = samples.data() + static_cast<size_t>(i) * kDetHop;
        for (int j = 0; j < n; ++j) fft.in[j] = x[j] * w[j];
        fftwf_execute(fft.plan);
        // The packed real FFT this detector was tuned on yields twice the
        // DFT; its bin 0 holds the DC term alone (Nyquist cleared).
        for (int k = 0; k < bins_used; ++k)
            mag[k] = 2.0f * std::sqrt(fft.out[k][0] * fft.out[k][0] + fft.out[k][1] * fft.out[k][1]);
        mag[0] = 2.0f * std::fabs(fft.out[0][0]);
        fn(i, mag.data());
    }
}

DetSpectrum det_stft(const std::vector<float>& samples, int n)
{
    DetSpectrum spectrum;
    int frames = det_frame_count(samples.size(), n);
    if (frames == 0) return spectrum;
    spectrum.frames = frames;
    spectrum.bins = n / 2;
    spectrum.mag.resize(static_cast<size_t>(frames) * spectrum.bins);
    det_stft_each(samples, n, [&](int i, const float* m) {
        std::copy(m, m + spectrum.bins, spectrum.mag.begin() + static_cast<size_t>(i) * spectrum.bins);
    });
    return spectrum;
}

std::vector<DetSemi> det_semis(const DetSpectrum& spectrum)
{
    std::vector<DetSemi> out(static_cast<size_t>(spectrum.frames));
    for (int i = 0; i < spectrum.frames; ++i)
        semis_frame(spectrum.mag.data() + static_cast<size_t>(i) * spectrum.bins, spectrum.bins, out[i]);
    return out;
}

std::vector<DetSemi> det_semis_pcm(const std::vector<float>& samples)
{
    std::vector<DetSemi> out(static_cast<size_t>(det_frame_count(samples.size(), 4096)));
    // Bins above C7 feed no band, so their magnitudes are never computed.
    int top = semi_map().top;
    det_stft_each(samples, 4096, [&](int i, const float* m) { semis_frame(m, top, out[i]); }, top);
    return out;
}

void det_unharm(std::vector<DetSemi>& frames)
{
    static const int kStep[5] = {12, 19, 24, 28, 31};
    for (DetSemi& f : frames) {
        for (int i = 0; i < kDetBands; ++i) {
            float x = f[i];
            if (!(x > 0.0f)) continue;
            for (int h = 0; h < 5; ++h) {
                int j = i + kStep[h];
                if (j >= kDetBands) break;
                f[j] = std::max(f[j] - x / static_cast<float>(h + 2), 0.0f);
            }
        }
    }
}

std::vector<DetChroma> det_fold(const std::vector<DetSemi>& frames, int lo, int hi)
{
    lo = std::max(lo, kDetLowNote);
    hi = std::min(hi, kDetLowNote + kDetBands - 1);
    std::vector<DetChroma> out(frames.size());
    for (size_t t = 0; t < frames.size(); ++t) {
        const DetSemi& f = frames[t];
        DetChroma& c = out[t];
        c.fill(0.0f);
        float m = 0.0f;
        for (int n = lo; n <= hi; ++n) m = std::max(m, f[n - kDetLowNote]);
        if (!(m > 0.001f)) continue;
        for (int n = lo; n <= hi; ++n) c[n % 12] += std::log1p(20.0f * f[n - kDetLowNote] / m);
        float len = 0.0f;
        for (float v : c) len += v * v;
        len = std::sqrt(len);
        if (len > 0.000001f)
            for (float& v : c) v /= len;
    }
    return out;
}

std::vector<float> det_onset(const DetSpectrum& spectrum)
{
    std::vector<float> flux(static_cast<size_t>(spectrum.frames));
    std::vector<float> prev(static_cast<size_t>(spectrum.bins));
    for (int i = 0; i < spectrum.frames; ++i)
        flux[i] = flux_frame(spectrum.mag.data() + static_cast<size_t>(i) * spectrum.bins, spectrum.bins, prev,
                             i == 0);
    return remove_local_mean(flux);
}

std::vector<float> det_onset_pcm(const std::vector<float>& samples)
{
    std::vector<float> flux(static_cast<size_t>(det_frame_count(samples.size(), 1024)));
    std::vector<float> prev(512);
    det_stft_each(samples, 1024, [&](int i, const float* m) {
        flux[i] = flux_frame(m, 512, prev, i == 0);
    });
    return remove_local_mean(flux);
}
