#include <gtest/gtest.h>

#include <cmath>

#include "lyrics/lrc.h"
#include "support/support.h"

namespace {

struct LineCase {
    const char* line;
    bool ok;
    float t;
    const char* text;
};

TEST(LrcParseLine, TimesTextsAndRejects)
{
    const LineCase cases[] = {
        {"[01:02.50]Hello", true, 62.5f, "Hello"},
        {"[01:02.5] Hello", true, 62.05f, "Hello"},  // fraction counts hundredths
        {"[01:02.345]x", true, 65.45f, "x"},
        {"[00:10.00]  ", true, 10.0f, " "},          // exactly one space removed
        {"[00:12.00][00:45.00]Chorus", true, 12.0f, "[00:45.00]Chorus"},
        {"[00:10.00]", false, 0, ""},                // timestamp only
        {"[00:10.00] ", false, 0, ""},
        {"[00:10.00]Line\r", false, 0, ""},          // CRLF files load nothing
        {"[ar:Someone]", false, 0, ""},
        {"[offset:+100]", false, 0, ""},
        {"x[00:10.00]late", false, 0, ""},
        {"[00:10]no fraction", false, 0, ""},
        {"[:10.00]no minutes", false, 0, ""},
        {"[00:10.]x", false, 0, ""},
        {"[00:10.00", false, 0, ""},
        {"", false, 0, ""},
    };
    for (const LineCase& c : cases) {
        LrcLine l;
        ASSERT_EQ(lrc_parse_line(c.line, l), c.ok) << c.line;
        if (!c.ok) continue;
        EXPECT_FLOAT_EQ(l.t, c.t) << c.line;
        EXPECT_EQ(l.text, c.text) << c.line;
    }
}

TEST(LrcParseLine, HugeInputsDoNotCrash)
{
    LrcLine l;
    std::string digits(100000, '9');
    EXPECT_TRUE(lrc_parse_line("[" + digits + ":00.00]x", l));
    EXPECT_TRUE(std::isinf(l.t));
    std::string longtext = "[00:01.00]" + std::string(2000000, 'a');
    ASSERT_TRUE(lrc_parse_line(longtext, l));
    EXPECT_EQ(l.text.size(), 2000000u);
}

TEST(LrcParse, SortsAndSkipsBadLines)
{
    auto lines = lrc_parse("[ti:T]\n[00:20.00]b\nnoise\n[00:05.00]a\n\n[00:20.00]c");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].text, "a");
    EXPECT_FLOAT_EQ(lines[1].t, 20.0f);
    EXPECT_FLOAT_EQ(lines[2].t, 20.0f);
}

TEST(LrcState, UpdateAndTextAccessors)
{
    LrcState s;
    s.lines = lrc_parse("[00:01.00]one\n[00:02.00]two\n[00:02.00]two-b\n[00:03.00]three\n");
    EXPECT_EQ(s.current_text(), "");
    EXPECT_EQ(s.next_text(), "one");  // before the first line, next is the first
    struct {
        float t;
        int cur;
    } steps[] = {{0.5f, -1}, {1.0f, 0}, {1.999f, 0}, {2.0f, 2}, {3.0f, 3}, {99.0f, 3}};
    for (auto st : steps) {
        s.update(st.t);
        EXPECT_EQ(s.cur, st.cur) << st.t;
    }
    s.update(2.5f);
    EXPECT_EQ(s.prev_text(), "two");
    EXPECT_EQ(s.current_text(), "two-b");
    EXPECT_EQ(s.next_text(), "three");
    s.update(3.5f);
    EXPECT_EQ(s.next_text(), "");
    s.clear();
    s.update(1.0f);
    EXPECT_EQ(s.cur, -1);
    EXPECT_EQ(s.current_text(), "");
    EXPECT_EQ(s.prev_text(), "");
}

TEST(LrcState, LoadsBesideTheSongAndClearsOnMissingFile)
{
    tsup::TempDir home;
    tsup::ScopedEnv h("HOME", home.path());
    tsup::ScopedEnv x("XDG_DATA_HOME", home / "share");
    std::string song = home / "Song.mp3";
    tsup::write_file(song, "not really audio");
    tsup::write_file(home / "Song.lrc", "[00:02.00]second\n[00:01.00]first\n");
    LrcState s;
    s.load(song);
    EXPECT_TRUE(s.loaded);
    EXPECT_EQ(s.cur, -1);
    ASSERT_EQ(s.lines.size(), 2u);
    EXPECT_EQ(s.lines[0].text, "first");
    s.load(home / "Other.mp3");
    EXPECT_FALSE(s.loaded);
    EXPECT_TRUE(s.lines.empty());
}

TEST(LrcWrite, StampsReadBackExactly)
{
    EXPECT_EQ(lrc_stamp(62.5f), "[01:02.50]");
    EXPECT_EQ(lrc_stamp(0.0f), "[00:00.00]");
    EXPECT_EQ(lrc_stamp(-3.0f), "[00:00.00]");
    EXPECT_EQ(lrc_stamp(INFINITY), "[16666666:40.00]");
    std::vector<LrcLine> in = {{1.23f, "a"}, {2.0f, " lead space"}, {75.5f, "b c"}, {3599.99f, "end"}};
    auto out = lrc_parse(lrc_text(in));
    ASSERT_EQ(out.size(), in.size());
    for (size_t i = 0; i < in.size(); ++i) {
        EXPECT_NEAR(out[i].t, in[i].t, 0.001f);
        EXPECT_EQ(out[i].text, in[i].text);
    }
}

TEST(LrcPath, CutsFromTheLastDot)
{
    EXPECT_EQ(lrc_path("/music/Song.mp3"), "/music/Song.lrc");
    EXPECT_EQ(lrc_path("/music/a.b.flac"), "/music/a.b.lrc");
    EXPECT_EQ(lrc_path("noext"), "noext.lrc");
    EXPECT_EQ(lrc_path("/music/v1.2/Song"), "/music/v1.2/Song.lrc");
}

}  // namespace
