#include <gtest/gtest.h>

#include <cmath>

#include "chords/det.h"

namespace {

DetChroma unit(std::initializer_list<std::pair<int, float>> w)
{
    DetChroma c{};
    float len = 0;
    for (auto [pc, v] : w) {
        c[pc] = v;
        len += v * v;
    }
    for (float& v : c) v /= std::sqrt(len);
    return c;
}

int best(const std::array<float, kDetStates>& s)
{
    int b = 0;
    for (int i = 1; i < kDetStates; ++i)
        if (s[i] > s[b]) b = i;
    return b;
}

TEST(DetTemplates, SixtyUnitProfilesInKindOrder)
{
    const auto& t = det_templates();
    ASSERT_EQ(t.size(), 60u);
    const char* suffix[5] = {"", "m", "7", "m7", "maj7"};
    for (size_t i = 0; i < t.size(); ++i) {
        EXPECT_EQ(t[i].root, static_cast<int>(i % 12));
        EXPECT_EQ(t[i].suffix, suffix[i / 12]);
        float len = 0;
        for (float v : t[i].profile) len += v * v;
        EXPECT_NEAR(len, 1.0f, 1e-6);
    }
    // A minor: A, C, E with weights 1, 1, 0.8.
    EXPECT_NEAR(t[12 + 9].profile[0], t[12 + 9].profile[9], 1e-7);
    EXPECT_NEAR(t[12 + 9].profile[4] / t[12 + 9].profile[9], 0.8f, 1e-6);
    EXPECT_NEAR(t[48 + 0].profile[11] / t[48].profile[0], 0.6f, 1e-6);
}

TEST(DetScore, BassBonusSeventhPenaltyAndNoChord)
{
    const auto& t = det_templates();
    DetChroma none{};
    auto s = det_score(none, none, t);
    EXPECT_FLOAT_EQ(s[60], 1.0f);
    EXPECT_FLOAT_EQ(s[0], 0.0f);
    EXPECT_FLOAT_EQ(s[24], -0.08f);
    EXPECT_EQ(best(s), 60);

    // A C major triad: C beats Am and Em; with A in the bass, Am wins.
    DetChroma c = unit({{0, 1}, {4, 1}, {7, 0.8f}});
    EXPECT_EQ(best(det_score(c, none, t)), 0);
    EXPECT_FLOAT_EQ(det_score(c, none, t)[60], 0.3f);
    DetChroma cm = unit({{0, 1}, {4, 1}, {7, 0.5f}, {9, 0.5f}});
    EXPECT_EQ(best(det_score(cm, none, t)), 0);
    EXPECT_EQ(best(det_score(cm, unit({{9, 1}}), t)), 12 + 9);

    // A weak seventh loses to the triad; a strong one wins.
    EXPECT_EQ(best(det_score(unit({{7, 1}, {11, 1}, {2, 0.8f}, {5, 0.3f}}), none, t)), 7);
    EXPECT_EQ(best(det_score(unit({{7, 1}, {11, 1}, {2, 0.8f}, {5, 1.0f}}), none, t)), 24 + 7);

    // Ties go to the lower index: bass C and D equally strong picks C.
    DetChroma two = unit({{0, 1}, {2, 1}});
    auto tie = det_score(unit({{0, 1}, {4, 1}, {7, 0.8f}}), two, t);
    EXPECT_FLOAT_EQ(tie[0] - 0.1f, det_score(unit({{0, 1}, {4, 1}, {7, 0.8f}}), none, t)[0]);
    EXPECT_FLOAT_EQ(tie[2], det_score(unit({{0, 1}, {4, 1}, {7, 0.8f}}), none, t)[2]);
}

TEST(DetViterbi, PenaltySmoothsShortBlips)
{
    auto row = [](int winner, float margin) {
        std::array<float, kDetStates> s{};
        s[winner] = margin;
        return s;
    };
    // State 5 leads by 0.1 for one segment only: not worth two 0.25 jumps.
    std::vector<std::array<float, kDetStates>> sc = {row(3, 1), row(3, 1), row(5, 0.1f), row(3, 1)};
    EXPECT_EQ(det_viterbi(sc), (std::vector<int>{3, 3, 3, 3}));
    sc[2] = row(5, 2.0f);
    EXPECT_EQ(det_viterbi(sc), (std::vector<int>{3, 3, 5, 3}));
    EXPECT_EQ(det_viterbi({row(7, 0.5f)}), (std::vector<int>{7}));
    EXPECT_TRUE(det_viterbi({}).empty());
    // All equal: the first state everywhere.
    std::vector<std::array<float, kDetStates>> flat(3, std::array<float, kDetStates>{});
    EXPECT_EQ(det_viterbi(flat), (std::vector<int>{0, 0, 0}));
}

TEST(DetKey, KrumhanslKesslerWithSpelling)
{
    const auto& t = det_templates();
    auto key_of = [&](std::vector<int> states) {
        std::vector<DetChroma> p;
        for (int s : states) p.push_back(t[s].profile);
        return det_key(p);
    };
    EXPECT_EQ(key_of({0, 5, 7, 0, 12 + 9, 5, 7, 0}), "C");
    EXPECT_EQ(key_of({12 + 4, 12 + 9, 24 + 11, 12 + 4, 12 + 4}), "Em");
    EXPECT_EQ(key_of({10, 3, 24 + 5, 10, 10}), "Bb");
    EXPECT_EQ(key_of({12 + 3, 12 + 8, 24 + 10, 12 + 3, 12 + 3}), "Ebm");  // D# minor
    EXPECT_EQ(det_key({}), "C");
}

TEST(DetDownbeat, MostFrequentChangePhase)
{
    EXPECT_EQ(det_downbeat({1, 1, 1, 1, 1}), 0);
    EXPECT_EQ(det_downbeat({}), 0);
    EXPECT_EQ(det_downbeat({1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4}), 2);
    // One change each at phases 3 and 1: the first change's phase stays.
    EXPECT_EQ(det_downbeat({1, 1, 1, 2, 2, 3}), 3);
    EXPECT_EQ(det_downbeat({1, 2, 2, 3, 3, 4}, 2), 1);
}

TEST(DetEvents, NamesTimesAndSpelling)
{
    const auto& t = det_templates();
    std::vector<int> path = {60, 10, 10, 12 + 3, 60};
    std::vector<int> starts = {0, 10, 21, 32, 43};
    auto ev = det_events(path, starts, t, "F");
    ASSERT_EQ(ev.size(), 4u);
    EXPECT_EQ(ev[0].name, "N.C.");
    EXPECT_FLOAT_EQ(ev[0].t, 0.0f);
    EXPECT_EQ(ev[1].name, "Bb");
    EXPECT_FLOAT_EQ(ev[1].t, 10 / 21.533203f + 0.04643991f);
    EXPECT_EQ(ev[2].name, "Ebm");
    EXPECT_EQ(ev[3].name, "N.C.");
    EXPECT_EQ(det_events(path, starts, t, "E")[1].name, "A#");
    EXPECT_EQ(det_events(path, starts, t, "")[2].name, "D#m");
    // Starts shorter than the path: events stop at the last start.
    EXPECT_EQ(det_events(path, {5, 10}, t, "C").size(), 2u);
    EXPECT_FLOAT_EQ(det_events(path, {5, 10}, t, "C")[0].t, 5 / 21.533203f + 0.04643991f);
}

}  // namespace
