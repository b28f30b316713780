#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "chords/det.h"
#include "support/chords_support.h"

namespace {

TEST(DetStft, FrameCountsAtHop512)
{
    struct {
        size_t samples;
        int n, frames;
    } cases[] = {{4095, 4096, 0}, {4096, 4096, 1}, {4096 + 511, 4096, 1}, {4096 + 512, 4096, 2},
                 {7679, 4096, 7}, {7680, 4096, 8}, {1024, 1024, 1}, {0, 1024, 0}};
    for (auto c : cases) {
        EXPECT_EQ(det_frame_count(c.samples, c.n), c.frames) << c.samples;
        DetSpectrum s = det_stft(std::vector<float>(c.samples, 0.1f), c.n);
        EXPECT_EQ(s.frames, c.frames) << c.samples;
        EXPECT_EQ(s.mag.size(), static_cast<size_t>(c.frames) * (c.frames ? c.n / 2 : 0));
    }
}

TEST(DetStft, MagnitudesHaveThePackedFftScaling)
{
    // A sine centred on bin 64 of a 1024-point frame: the plain DFT peak of the
    // windowed sine is A/2 * sum(w) = A/2 * 0.8165 * N; the packed scaling doubles it.
    float f = 64.0f * 11025.0f / 1024.0f;
    DetSpectrum s = det_stft(tsup::synth_sine(f, 0.2f, 0.5f), 1024);
    ASSERT_GT(s.frames, 0);
    const float* row = s.mag.data();
    EXPECT_NEAR(row[64], 0.5f * 0.8165f * 1024.0f, 0.5f);
    EXPECT_NEAR(row[63], row[65], 0.5f);
    EXPECT_NEAR(row[63] / row[64], 0.5f, 0.01f);  // Hann main lobe: half at +-1 bin
    EXPECT_LT(row[70], 0.01f * row[64]);
}

TEST(DetFrontEnd, StreamingPathsEqualTheSpectrogramPaths)
{
    std::vector<float> x = tsup::synth_song({{0, "", 4}, {9, "m", 4}}, 120.0f, 0.3f);
    std::vector<DetSemi> a = det_semis(det_stft(x, 4096));
    std::vector<DetSemi> b = det_semis_pcm(x);
    ASSERT_EQ(a.size(), b.size());
    EXPECT_TRUE(a == b);
    std::vector<float> oa = det_onset(det_stft(x, 1024));
    std::vector<float> ob = det_onset_pcm(x);
    ASSERT_EQ(oa.size(), ob.size());
    for (size_t i = 0; i < oa.size(); ++i) ASSERT_NEAR(oa[i], ob[i], 1e-4f * (1 + oa[i])) << i;
}

TEST(DetFrontEnd, SineOf440PutsTrebleChromaOnA)
{
    std::vector<DetSemi> semis = det_semis_pcm(tsup::synth_sine(440.0f, 1.0f));
    ASSERT_FALSE(semis.empty());
    // Band of MIDI 69 is the loudest before reduction.
    auto peak = std::max_element(semis[3].begin(), semis[3].end()) - semis[3].begin();
    EXPECT_EQ(peak, 69 - 28);
    det_unharm(semis);
    for (const DetChroma& c : det_fold(semis, 45, 96)) {
        EXPECT_EQ(std::max_element(c.begin(), c.end()) - c.begin(), 9);
        float len = 0;
        for (float v : c) len += v * v;
        EXPECT_NEAR(len, 1.0f, 1e-4f);
    }
}

TEST(DetFrontEnd, SilenceGivesZeroChromaAndOnset)
{
    std::vector<float> z(20000, 0.0f);
    std::vector<DetSemi> semis = det_semis_pcm(z);
    det_unharm(semis);
    for (auto fold : {det_fold(semis, 45, 96), det_fold(semis, 28, 55)})
        for (const DetChroma& c : fold)
            for (float v : c) EXPECT_EQ(v, 0.0f);
    for (float v : det_onset_pcm(z)) EXPECT_EQ(v, 0.0f);
}

TEST(DetUnharm, SubtractsHarmonicsInAscendingOrder)
{
    DetSemi f{};
    f[0] = 1.0f;
    f[12] = 1.0f;  // 2nd harmonic of band 0: 1 - 1/2
    f[19] = 0.2f;  // 3rd: 0.2 - 1/3 clamps at 0
    f[24] = 1.0f;  // 4th of band 0 (1/4) and 2nd of reduced band 12 (0.5/2)
    std::vector<DetSemi> frames = {f};
    det_unharm(frames);
    EXPECT_FLOAT_EQ(frames[0][0], 1.0f);  // band 0 is never reduced
    EXPECT_FLOAT_EQ(frames[0][12], 0.5f);
    EXPECT_FLOAT_EQ(frames[0][19], 0.0f);
    EXPECT_FLOAT_EQ(frames[0][24], 0.5f);
    EXPECT_FLOAT_EQ(frames[0][28], 0.0f);  // stays clamped at 0, not negative

    DetSemi top{};
    for (int i = 57; i < kDetBands; ++i) top[i] = 1.0f + i;
    frames = {top};
    det_unharm(frames);
    EXPECT_TRUE(frames[0] == top);  // 2nd harmonics of 57.. lie past the top band
}

TEST(DetFold, LogCompressedAndNormalised)
{
    DetSemi f{};
    f[57 - 28] = 10.0f;  // A3
    f[60 - 28] = 5.0f;   // C4
    f[72 - 28] = 0.0005f;
    DetChroma c = det_fold({f}, 45, 96)[0];
    float a = std::log1p(20.0f), cc = std::log1p(10.0f) + std::log1p(20.0f * 0.0005f / 10.0f);
    float len = std::sqrt(a * a + cc * cc);
    EXPECT_NEAR(c[9], a / len, 1e-6);
    EXPECT_NEAR(c[0], cc / len, 1e-6);
    // A maximum of 0.001 or less counts as silence.
    DetSemi quiet{};
    quiet[40] = 0.001f;
    DetChroma q = det_fold({quiet}, 28, 96)[0];
    for (float v : q) EXPECT_EQ(v, 0.0f);
    // Notes outside lo..hi do not count.
    DetChroma b = det_fold({f}, 28, 55)[0];
    for (float v : b) EXPECT_EQ(v, 0.0f);
}

}  // namespace
