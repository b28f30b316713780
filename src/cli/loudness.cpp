#include "cli/loudness.h"

#include <algorithm>
#include <cmath>

#include "core/decode.h"

namespace {
constexpr int kRate = 22050;
}

std::vector<float> cli_loudness(const std::string& path, double window, double& duration)
{
    std::vector<float> curve;
    std::vector<float> pcm;
    if (!decode_audio(path, kRate, 1, pcm)) return curve;
    size_t block = static_cast<size_t>(window * kRate);
    if (block == 0) block = 1;
    curve.reserve(pcm.size() / block + 1);
    for (size_t at = 0; at < pcm.size(); at += block) {
        size_t n = std::min(block, pcm.size() - at);
        double sum = 0;
        for (size_t k = 0; k < n; ++k) sum += static_cast<double>(pcm[at + k]) * pcm[at + k];
        curve.push_back(sum == 0 ? -120.0f : static_cast<float>(10.0 * std::log10(sum / n)));
    }
    duration = static_cast<double>(pcm.size()) / kRate;
    return curve;
}

double cli_beat_in(const std::vector<float>& curve, double window)
{
    if (curve.empty()) return 0;
    std::vector<float> sorted = curve;
    std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
    double ref = sorted[sorted.size() / 2];
    size_t need = static_cast<size_t>(2.0 / window);
    if (need == 0) need = 1;
    size_t run = 0;
    for (size_t i = 0; i < curve.size(); ++i) {
        run = curve[i] >= ref - 6.0 ? run + 1 : 0;
        if (run >= need) return static_cast<double>(i + 1 - run) * window;
    }
    return 0;
}

double cli_suggest_in(const std::vector<Seg>& segs, double beat_in)
{
    for (const Seg& s : segs) {
        if (s.start < beat_in - 1.0) continue;
        return s.start <= 0.3 ? 0.0 : s.start - 0.3;
    }
    return -1;
}

double cli_suggest_out(const std::vector<Seg>& segs, double duration)
{
    if (segs.empty()) return -1;
    return std::min(static_cast<double>(segs.back().end) + 0.5, duration);
}

bool cli_autoio_suggest(const Track& track, double& in_out, double& out_out)
{
    // Without sentences there is nothing to suggest, so the decode waits for them.
    std::string json = cli_asr_json(track.path);
    if (json.empty()) return false;
    std::vector<Seg> segs = cli_asr_segs(json);
    if (segs.empty()) return false;
    double duration = 0;
    std::vector<float> curve = cli_loudness(track.path, 0.5, duration);
    double in = cli_suggest_in(segs, cli_beat_in(curve, 0.5));
    double out = cli_suggest_out(segs, duration);
    if (in < 0 || out <= in) return false;
    in_out = in;
    out_out = out;
    return true;
}
