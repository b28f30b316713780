#include <gtest/gtest.h>

#include "chords/chordpro.h"

namespace {

TEST(ChordproLine, MarksAndLyricText)
{
    std::vector<ChoMark> m;
    EXPECT_EQ(chordpro_line("  [G]Amazing [D/F#]grace", m), "  Amazing grace");
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(m[0].pos, 2u);
    EXPECT_EQ(m[0].chord, "G");
    EXPECT_EQ(m[1].pos, 10u);
    EXPECT_EQ(m[1].chord, "D/F#");

    EXPECT_EQ(chordpro_line("a [unclosed b\r", m), "a [unclosed b");
    EXPECT_TRUE(m.empty());
    EXPECT_EQ(chordpro_line("x[[C]]y[]", m), "x]y");  // first ']' closes
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(m[0].chord, "[C");
    EXPECT_EQ(m[1].chord, "");
    for (const char* empty : {"", " \t ", "  {title: x}", "# [C]comment"}) {
        m.push_back({});
        EXPECT_EQ(chordpro_line(empty, m), "") << empty;
        EXPECT_TRUE(m.empty()) << empty;
    }
}

TEST(ChordproLine, HugeUnbalancedLineStaysLinear)
{
    std::vector<ChoMark> m;
    std::string line(3000000, '[');
    EXPECT_EQ(chordpro_line(line, m).size(), line.size());
    line += "]";
    chordpro_line(line, m);
    EXPECT_EQ(m.size(), 1u);
}

TEST(ChordproMeta, FirstValidKeyAndTempo)
{
    ChordSheet s;
    s.meter = 3;
    chordpro_meta("{title: T}\n{key:}\n{k:  Am \t}\n{key: C}\n{tempo: fast}\n{tempo: 0}\n"
                  "{tempo:96.5}\n{tempo: 120}\n{ key: D}\n",
                  s);
    EXPECT_EQ(s.key, "Am");
    EXPECT_FLOAT_EQ(s.bpm, 96.5f);
    EXPECT_EQ(s.meter, 3);
    ChordSheet t;
    chordpro_meta("{key: G\n}\n{tempo: nan}\nkey: E}\n", t);
    EXPECT_EQ(t.key, "");
    EXPECT_FLOAT_EQ(t.bpm, 0.0f);
}

TEST(LyricWords, SplitsLowersAndKeepsUtf8)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(lyric_words("Don't STOP-me, now!"), (V{"dont", "stop", "me", "now"}));
    EXPECT_EQ(lyric_words("Café  déjà 42"), (V{"café", "déjà", "42"}));
    EXPECT_TRUE(lyric_words(" ,.;' ").empty());
}

TEST(LyricMatch, PairsEachWordOnce)
{
    using V = std::vector<std::string>;
    EXPECT_FLOAT_EQ(lyric_match(V{"a", "a"}, V{"a", "b"}), 0.5f);
    EXPECT_FLOAT_EQ(lyric_match(V{"a", "b", "c"}, V{"c", "b", "a", "d"}), 0.75f);
    EXPECT_FLOAT_EQ(lyric_match(V{}, V{"a"}), 0.0f);
    EXPECT_FLOAT_EQ(lyric_match(V{"x"}, V{}), 0.0f);
    // Huge lines stay fast: 200k words each way.
    V big_a(200000, "la"), big_b(200000, "la");
    big_b.back() = "da";
    EXPECT_NEAR(lyric_match(big_a, big_b), 199999.0f / 200000.0f, 1e-6);
}

std::vector<LrcLine> lyrics()
{
    return {{10.0f, "Hello darkness my old friend"},
            {14.0f, "I've come to talk with you again"},
            {20.0f, "Because a vision softly creeping"}};
}

TEST(ChordproAlign, PlacesMarksAndPendingChords)
{
    int dropped = -1;
    std::string cho =
        "{title: Sound}\n"
        "[Am] [G]\n"                                         // chord-only: pending
        "[Am]Hello darkness my old [G]friend\n"
        "Nothing like this [F]at all\n"                      // matches nothing: dropped
        "I've [F]come to talk with you a[C]gain\n"
        "[C]Because a vision [Am]softly creeping\n"
        "[E7] [Am]\n";                                       // trailing pending
    auto out = chordpro_align(cho, lyrics(), dropped);
    EXPECT_EQ(dropped, 1);
    std::vector<std::pair<float, std::string>> want = {
        {0.0f, "Am"}, {5.0f, "G"}, {10.0f, "Am"},
        {10.0f + 4.0f * 22.0f / 28.0f, "G"},
        {14.0f + 6.0f * 5.0f / 32.0f, "F"},
        {14.0f + 6.0f * 28.0f / 32.0f, "C"},
        {20.0f, "C"}, {20.0f + 4.0f * 17.0f / 32.0f, "Am"},
        {24.0f, "E7"}, {26.0f, "Am"},
    };
    ASSERT_EQ(out.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_NEAR(out[i].t, want[i].first, 1e-4) << i;
        EXPECT_EQ(out[i].name, want[i].second) << i;
    }
}

TEST(ChordproAlign, CursorStaysOnMissAndStopsAtEnd)
{
    int dropped = 0;
    std::vector<LrcLine> ly = {{1.0f, "one two"}, {3.0f, "three four"}};
    // Line 3 matches nothing; line 4 still finds lyric line 1. After the last
    // lyric line, further lyric lines are dropped.
    auto out = chordpro_align("[A]one two\n[B]zzz qqq\n[C]three four\n[D]one two\n", ly, dropped);
    EXPECT_EQ(dropped, 2);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[1].name, "C");
    EXPECT_FLOAT_EQ(out[1].t, 3.0f);

    // Pending chords after a line that ended later than the next line's time
    // all land on that line.
    std::vector<LrcLine> back = {{5.0f, "alpha"}, {9.0f, "beta"}, {2.0f, "gamma"}};
    out = chordpro_align("alpha\n[X] [Y]\ngamma\n", back, dropped);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_FLOAT_EQ(out[0].t, 2.0f);
    EXPECT_FLOAT_EQ(out[1].t, 2.0f);

    out = chordpro_align("[G]words here\n", {}, dropped);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(dropped, 1);
}

TEST(ChordproAlign, HalfTheWordsIsEnough)
{
    int dropped = 0;
    std::vector<LrcLine> ly = {{1.0f, "a b c d"}};
    EXPECT_EQ(chordpro_align("[G]a b x y\n", ly, dropped).size(), 1u);
    EXPECT_EQ(chordpro_align("[G]a x y z\n", ly, dropped).size(), 0u);
    EXPECT_EQ(dropped, 1);
}

}  // namespace
