// Beat-synchronous chroma, chord templates and their scores, and the
// smoothed best path through them.
#include <algorithm>
#include <cmath>

#include "chords/det.h"

namespace {

struct Kind {
    const char* suffix;
    int n;
    int iv[4];
    float w[4];
};

const Kind kKinds[5] = {
    {"", 3, {0, 4, 7, 0}, {1.0f, 1.0f, 0.8f, 0.0f}},
    {"m", 3, {0, 3, 7, 0}, {1.0f, 1.0f, 0.8f, 0.0f}},
    {"7", 4, {0, 4, 7, 10}, {1.0f, 1.0f, 0.8f, 0.6f}},
    {"m7", 4, {0, 3, 7, 10}, {1.0f, 1.0f, 0.8f, 0.6f}},
    {"maj7", 4, {0, 4, 7, 11}, {1.0f, 1.0f, 0.8f, 0.6f}},
};

int argmax_first(const float* v, int n)
{
    int b = 0;
    for (int i = 1; i < n; ++i)
        if (v[i] > v[b]) b = i;
    return b;
}

}  // namespace

std::vector<DetChroma> det_sync(const std::vector<DetChroma>& chroma, const std::vector<int>& beats)
{
    std::vector<long long> bounds;
    if (beats.empty() || beats.front() >= 1) bounds.push_back(0);
    bounds.insert(bounds.end(), beats.begin(), beats.end());
    long long frames = static_cast<long long>(chroma.size());
    bounds.push_back(frames);
    std::vector<DetChroma> out(bounds.size() - 1);
    for (size_t i = 0; i + 1 < bounds.size(); ++i) {
        DetChroma& c = out[i];
        c.fill(0.0f);
        long long lo = std::max(bounds[i], 0LL), hi = std::min(bounds[i + 1], frames);
        if (hi <= lo) continue;
        for (long long t = lo; t < hi; ++t)
            for (int k = 0; k < 12; ++k) c[k] += chroma[t][k];
        for (float& v : c) v /= static_cast<float>(hi - lo);
    }
    return out;
}

const std::vector<DetTpl>& det_templates()
{
    static const std::vector<DetTpl> tpls = [] {
        std::vector<DetTpl> v;
        for (const Kind& k : kKinds) {
            for (int root = 0; root < 12; ++root) {
                DetTpl t;
                t.root = root;
                t.suffix = k.suffix;
                float len = 0.0f;
                for (int i = 0; i < k.n; ++i) {
                    t.profile[(root + k.iv[i]) % 12] = k.w[i];
                    len += k.w[i] * k.w[i];
                }
                len = std::sqrt(len);
                for (float& x : t.profile) x /= len;
                v.push_back(t);
            }
        }
        return v;
    }();
    return tpls;
}

std::array<float, kDetStates> det_score(const DetChroma& treble, const DetChroma& bass,
                                        const std::vector<DetTpl>& tpls)
{
    std::array<float, kDetStates> s{};
    float bass_sum = 0.0f, treble_sum = 0.0f;
    for (int i = 0; i < 12; ++i) {
        bass_sum += bass[i];
        treble_sum += treble[i];
    }
    int bass_root = argmax_first(bass.data(), 12);
    size_t n = std::min(tpls.size(), static_cast<size_t>(kDetStates - 1));
    for (size_t k = 0; k < n; ++k) {
        float v = 0.0f;
        for (int i = 0; i < 12; ++i) v += treble[i] * tpls[k].profile[i];
        if (bass_sum > 0.001f && tpls[k].root == bass_root) v += 0.1f;
        if (!tpls[k].suffix.empty() && tpls[k].suffix != "m") v -= 0.08f;
        s[k] = v;
    }
    s[kDetStates - 1] = treble_sum < 0.5f ? 1.0f : 0.3f;
    return s;
}

std::vector<int> det_viterbi(const std::vector<std::array<float, kDetStates>>& scores,
                             float penalty)
{
    size_t n = scores.size();
    if (n == 0) return {};
    std::vector<std::array<unsigned char, kDetStates>> back(n);
    std::array<float, kDetStates> delta = scores[0];
    for (size_t t = 1; t < n; ++t) {
        int b = argmax_first(delta.data(), kDetStates);
        float jump = delta[b] - penalty;
        std::array<float, kDetStates> next;
        for (int j = 0; j < kDetStates; ++j) {
            bool stay = delta[j] >= jump;
            next[j] = (stay ? delta[j] : jump) + scores[t][j];
            back[t][j] = static_cast<unsigned char>(stay ? j : b);
        }
        delta = next;
    }
    std::vector<int> path(n);
    path[n - 1] = argmax_first(delta.data(), kDetStates);
    for (size_t t = n - 1; t > 0; --t) path[t - 1] = back[t][path[t]];
    return path;
}
