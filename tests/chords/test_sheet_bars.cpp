#include <gtest/gtest.h>

#include <cmath>

#include "chords/sheet_bars.h"

namespace {

ChordSheet sheet(float bpm, float downbeat, std::vector<ChordEv> chords, int meter = 4)
{
    ChordSheet s;
    s.bpm = bpm;
    s.meter = meter;
    s.downbeat = downbeat;
    s.chords = std::move(chords);
    return s;
}

TEST(SheetBars, GridReachesBackToAnEarlyFirstChord)
{
    auto bars = sheet_bars(sheet(120, 1.0f, {{0.2f, "C"}, {3.0f, "G"}}), 6.0f);
    ASSERT_GE(bars.size(), 1u);
    EXPECT_FLOAT_EQ(bars[0].t0, -1.0f);
    EXPECT_FLOAT_EQ(bars[0].t1, 1.0f);
    EXPECT_EQ(bars[0].num, 1);
    ASSERT_EQ(bars[0].slots.size(), 1u);
    EXPECT_NEAR(bars[0].slots[0].pos, 0.6f, 1e-6);
    // Bars until the end time: max(6, 3 + 2) -> starts -1, 1, 3, 5.
    ASSERT_EQ(bars.size(), 4u);
    EXPECT_EQ(bars[3].num, 4);
    // Bar 2 (1..3) only holds C from before.
    ASSERT_EQ(bars[1].slots.size(), 1u);
    EXPECT_TRUE(bars[1].slots[0].held);
    EXPECT_EQ(bars[1].slots[0].chord, 0);
    // Bar 3 (3..5) starts with G itself, not a held C.
    ASSERT_EQ(bars[2].slots.size(), 1u);
    EXPECT_FALSE(bars[2].slots[0].held);
    EXPECT_EQ(bars[2].slots[0].chord, 1);
}

TEST(SheetBars, ToleranceMovesAnEarlyChordIntoTheNextBar)
{
    // d = 2, m = 0.16: a chord at 1.96 belongs to the bar starting at 2.0.
    auto bars = sheet_bars(sheet(120, 0.0f, {{0.0f, "C"}, {1.96f, "G"}, {2.9f, "D"}}), 4.0f);
    ASSERT_GE(bars.size(), 2u);
    ASSERT_EQ(bars[0].slots.size(), 1u);
    ASSERT_EQ(bars[1].slots.size(), 2u);
    EXPECT_EQ(bars[1].slots[0].chord, 1);
    EXPECT_FLOAT_EQ(bars[1].slots[0].pos, 0.0f);
    EXPECT_FALSE(bars[1].slots[0].held);
    EXPECT_NEAR(bars[1].slots[1].pos, 0.45f, 1e-6);
}

TEST(SheetBars, SkipsBarsEndingBeforeTheSongStarts)
{
    // Anchor 0.04, first chord at 0.0: bar -1 would end at 0.04 -> skipped.
    auto bars = sheet_bars(sheet(120, 0.04f, {{0.0f, "C"}}), 3.0f);
    ASSERT_FALSE(bars.empty());
    EXPECT_FLOAT_EQ(bars[0].t0, 0.04f);
    EXPECT_EQ(bars[0].num, 1);
    // The chord at 0.0 is within tolerance of bar 1 and sits at position 0.
    ASSERT_EQ(bars[0].slots.size(), 1u);
    EXPECT_FLOAT_EQ(bars[0].slots[0].pos, 0.0f);
}

TEST(SheetBars, WithoutTempoOneBarPerChord)
{
    auto bars = sheet_bars(sheet(0, -1, {{1.0f, "C"}, {2.5f, "G"}, {4.0f, "Am"}}), 3.0f);
    ASSERT_EQ(bars.size(), 3u);
    EXPECT_FLOAT_EQ(bars[1].t0, 2.5f);
    EXPECT_FLOAT_EQ(bars[1].t1, 4.0f);
    EXPECT_FLOAT_EQ(bars[2].t1, 6.0f);  // last chord + 2 beats the duration
    EXPECT_EQ(bars[2].num, 3);
    EXPECT_EQ(bars[2].slots[0].chord, 2);
    EXPECT_TRUE(sheet_bars(ChordSheet{}, 100.0f).empty());
}

TEST(SheetBars, SectionsGoToTheFirstFreeBar)
{
    ChordSheet s = sheet(120, 0.0f, {{0.0f, "C"}});
    s.sections = {{0.0f, "Intro"}, {1.0f, "Same bar"}, {4.0f, "Verse"}};
    auto bars = sheet_bars(s, 8.0f);
    ASSERT_EQ(bars.size(), 4u);
    EXPECT_EQ(bars[0].section, 0);
    EXPECT_EQ(bars[1].section, -1);
    EXPECT_EQ(bars[2].section, 2);
}

TEST(SheetBars, CappedAndSafeWithAbsurdValues)
{
    auto many = sheet_bars(sheet(10000, 0.0f, {{0.0f, "C"}}), 100000.0f);
    EXPECT_EQ(many.size(), size_t(kSheetMaxBars));
    EXPECT_EQ(many.back().num, kSheetMaxBars);
    // Far-negative chord times, infinite tempo or times must not hang or crash.
    auto neg = sheet_bars(sheet(120, -1, {{-1e30f, "C"}, {1.0f, "G"}}), 10.0f);
    EXPECT_LE(neg.size(), size_t(kSheetMaxBars));
    auto inf = sheet_bars(sheet(INFINITY, -1, {{0.0f, "C"}, {INFINITY, "G"}}), 10.0f);
    EXPECT_EQ(inf.size(), 2u);
    auto tiny = sheet_bars(sheet(1e-30f, 0.0f, {{0.0f, "C"}}), 10.0f);
    EXPECT_EQ(tiny.size(), 1u);
}

TEST(SheetBarAt, LastBarStartingAtOrBefore)
{
    auto bars = sheet_bars(sheet(120, 0.0f, {{0.0f, "C"}}), 6.0f);
    EXPECT_EQ(sheet_bar_at(bars, -0.5f), -1);
    EXPECT_EQ(sheet_bar_at(bars, 0.0f), 0);
    EXPECT_EQ(sheet_bar_at(bars, 3.99f), 1);
    EXPECT_EQ(sheet_bar_at(bars, 4.0f), 2);
    EXPECT_EQ(sheet_bar_at(bars, 1e9f), 2);
    EXPECT_EQ(sheet_bar_at({}, 1.0f), -1);
}

}  // namespace
