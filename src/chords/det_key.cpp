// Key by Krumhansl-Kessler correlation, and the downbeat phase.
#include <cmath>

#include "chords/det.h"

namespace {

const double kMajor[12] = {6.35, 2.23, 3.48, 2.33, 4.38, 4.09, 2.52, 5.19, 2.39, 3.66, 2.29, 2.88};
const double kMinor[12] = {6.33, 2.68, 3.52, 5.38, 2.60, 3.53, 2.54, 4.75, 3.98, 2.69, 3.34, 3.17};

double pearson(const double* x, const double* p)
{
    double mx = 0.0, mp = 0.0;
    for (int i = 0; i < 12; ++i) {
        mx += x[i];
        mp += p[i];
    }
    mx /= 12.0;
    mp /= 12.0;
    double sxy = 0.0, sxx = 0.0, spp = 0.0;
    for (int i = 0; i < 12; ++i) {
        sxy += (x[i] - mx) * (p[i] - mp);
        sxx += (x[i] - mx) * (x[i] - mx);
        spp += (p[i] - mp) * (p[i] - mp);
    }
    return sxy / (std::sqrt(sxx * spp) + 0.000000001);
}

}  // namespace

std::string det_key(const std::vector<DetChroma>& profiles)
{
    double h[12] = {};
    for (const DetChroma& p : profiles)
        for (int i = 0; i < 12; ++i) h[i] += p[i];
    double best = -2.0;
    int tonic = 0;
    bool minor = false;
    for (int i = 0; i < 12; ++i) {
        double x[12];
        for (int j = 0; j < 12; ++j) x[j] = h[(i + j) % 12];
        double maj = pearson(x, kMajor), min = pearson(x, kMinor);
        if (maj > best) {
            best = maj;
            tonic = i;
            minor = false;
        }
        if (min > best) {
            best = min;
            tonic = i;
            minor = true;
        }
    }
    ChordName key;
    key.root = tonic;
    key.quality = minor ? "m" : "";
    return note_spell(tonic, key_flat(key)) + key.quality;
}

int det_downbeat(const std::vector<int>& path, int meter)
{
    if (meter < 1) return 0;
    std::vector<int> count(static_cast<size_t>(meter), 0);
    int first = -1;
    for (size_t i = 1; i < path.size(); ++i) {
        if (path[i] == path[i - 1]) continue;
        int phase = static_cast<int>(i % static_cast<size_t>(meter));
        ++count[phase];
        if (first < 0) first = phase;
    }
    int best = first < 0 ? 0 : first;
    for (int p = 0; p < meter; ++p)
        if (count[p] > count[best]) best = p;
    return best;
}
