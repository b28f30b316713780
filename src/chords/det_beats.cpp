// Tempo estimation and dynamic-programming beat tracking over the onset curve.
#include <algorithm>
#include <cmath>

#include "chords/det.h"

namespace {

constexpr float kFramesPerMinute = 1291.9922f;  // 60 x frame rate

double lag_autocorr(const std::vector<float>& onset, float lag)
{
    size_t n = onset.size();
    size_t k = static_cast<size_t>(lag);
    float f = lag - static_cast<float>(k);
    double a = 0.0;
    for (size_t h = k + 1; h < n; ++h)
        a += onset[h] * ((1.0f - f) * onset[h - k] + f * onset[h - k - 1]);
    return a;
}

}  // namespace

float det_tempo(const std::vector<float>& onset)
{
    float best_lag = kFramesPerMinute / 60.0f;
    double best = 0.0;
    for (int c = 0; c <= 240; ++c) {
        float tempo = 60.0f + 0.5f * static_cast<float>(c);
        float lag = kFramesPerMinute / tempo;
        double pref = std::log2(tempo / 100.0);
        double score = lag_autocorr(onset, lag) * std::exp(-pref * pref);
        if (c == 0 || score > best) {
            best = score;
            best_lag = lag;
        }
    }
    return best_lag;
}

std::vector<int> det_beats(const std::vector<float>& onset, float period)
{
    int n = static_cast<int>(onset.size());
    if (n < 4 || !(period > 0.0f) || !std::isfinite(period)) return {};
    double sq = 0.0;
    for (float v : onset) sq += static_cast<double>(v) * v;
    double norm = std::sqrt(sq / n) + 0.000000001;
    // Lags beyond the curve cannot occur; clamping also keeps an absurd
    // period from sizing the penalty table. A lag of 0 would make a frame its
    // own predecessor.
    int max_lag = static_cast<int>(std::min<double>(2.0 * period, n));
    int min_lag = std::max(1, static_cast<int>(std::min<double>(0.5 * period, n)));
    std::vector<double> penalty(static_cast<size_t>(max_lag) + 1, 0.0);
    for (int h = min_lag; h <= max_lag; ++h) {
        double l = std::log(h / static_cast<double>(period));
        penalty[h] = 100.0 * l * l;
    }
    std::vector<double> cum(static_cast<size_t>(n));
    std::vector<int> back(static_cast<size_t>(n), -1);
    for (int i = 0; i < n; ++i) {
        bool found = false;
        double best = 0.0;
        int best_j = -1;
        for (int j = std::max(0, i - max_lag); j <= i - min_lag; ++j) {
            double cand = cum[j] - penalty[i - j];
            if (!found || cand > best) {
                found = true;
                best = cand;
                best_j = j;
            }
        }
        cum[i] = (found ? best : 0.0) + onset[i] / norm;
        back[i] = found && best > 0.0 ? best_j : -1;
    }
    int tail = static_cast<int>(std::min<double>(std::trunc(period) + 1.0, n));
    int last = n - tail;
    for (int i = n - tail; i < n; ++i)
        if (cum[i] > cum[last]) last = i;
    std::vector<int> beats;
    for (int i = last; i >= 0; i = back[i]) beats.push_back(i);
    std::reverse(beats.begin(), beats.end());
    return beats;
}

float det_period(const std::vector<int>& beats, float period)
{
    if (beats.size() < 8) return period;
    double cnt = static_cast<double>(beats.size());
    double mid = (cnt - 1.0) / 2.0;
    double mean = 0.0;
    for (int b : beats) mean += b;
    mean /= cnt;
    double sxy = 0.0, sxx = 0.0;
    for (size_t i = 0; i < beats.size(); ++i) {
        double x = static_cast<double>(i) - mid;
        sxy += x * (beats[i] - mean);
        sxx += x * x;
    }
    double slope = sxy / sxx;
    return slope > 0.8 * period && slope < 1.25 * period ? static_cast<float>(slope) : period;
}
