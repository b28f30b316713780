#include <gtest/gtest.h>

#include <cmath>

#include "chords/det.h"

namespace {

std::vector<float> pulses(int n, int period, int phase)
{
    std::vector<float> o(static_cast<size_t>(n), 0.0f);
    for (int i = phase; i < n; i += period) o[i] = 1.0f;
    return o;
}

TEST(DetTempo, FindsThePulsePeriod)
{
    struct {
        int period;
    } cases[] = {{11}, {14}, {9}};
    for (auto c : cases) {
        float lag = det_tempo(pulses(600, c.period, 3));
        EXPECT_NEAR(lag, c.period, 0.25f) << c.period;
    }
    // Every candidate scores 0 on a flat curve: the slowest (60 BPM) wins.
    EXPECT_FLOAT_EQ(det_tempo(std::vector<float>(500, 0.0f)), 1291.9922f / 60.0f);
    EXPECT_FLOAT_EQ(det_tempo({}), 1291.9922f / 60.0f);
}

TEST(DetBeats, FollowsPulsesAndHandlesTinyInputs)
{
    std::vector<int> beats = det_beats(pulses(300, 12, 5), 12.0f);
    ASSERT_GE(beats.size(), 20u);
    for (size_t i = 0; i < beats.size(); ++i) EXPECT_EQ(beats[i] % 12, 5) << i;
    EXPECT_EQ(beats.front(), 5);
    EXPECT_TRUE(det_beats({1, 0, 1}, 2.0f).empty());
    // A flat curve links no beats: only the best end frame. Frames 90..94
    // reach a zero score through exact one-period steps, 89 does not.
    std::vector<int> flat = det_beats(std::vector<float>(100, 0.0f), 10.0f);
    ASSERT_EQ(flat.size(), 1u);
    EXPECT_EQ(flat[0], 90);
    // Absurd periods must not allocate or loop without bound.
    EXPECT_FALSE(det_beats(pulses(50, 5, 0), 1e30f).empty());
    EXPECT_TRUE(det_beats(pulses(50, 5, 0), NAN).empty());
}

TEST(DetPeriod, RefinesOnlyCloseFits)
{
    std::vector<int> even;
    for (int i = 0; i < 10; ++i) even.push_back(3 + 10 * i);
    EXPECT_FLOAT_EQ(det_period(even, 11.0f), 10.0f);
    EXPECT_FLOAT_EQ(det_period(even, 20.0f), 20.0f);  // 10 is outside 0.8..1.25 x 20
    even.resize(7);
    EXPECT_FLOAT_EQ(det_period(even, 11.0f), 11.0f);  // fewer than 8 beats
}

}  // namespace
