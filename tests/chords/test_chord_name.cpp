#include <gtest/gtest.h>

#include "chords/chord_name.h"
#include "support/support.h"

namespace {

TEST(ChordParse, RootsQualitiesAndBasses)
{
    struct Case {
        const char* text;
        bool ok;
        int root;
        const char* quality;
        int bass;
        bool flat;
    } cases[] = {
        {"Bbm7", true, 10, "m7", -1, true},
        {"A#m7", true, 10, "m7", -1, false},
        {"Cb5", true, 11, "5", -1, true},  // greedy: C flattened
        {"Cb#", true, 0, "", -1, true},    // mixed accidentals
        {"D/F#", true, 2, "", 6, false},
        {"D/x", true, 2, "/x", -1, false},
        {"C6/9", true, 0, "6/9", -1, false},
        {"C6/9/E", true, 0, "6/9", 4, false},
        {"C/H", true, 0, "/H", -1, false},
        {"G/Bbm", true, 7, "/Bbm", -1, false},  // bass must consume the rest
        {"F#m7b5", true, 6, "m7b5", -1, false},
        {"Ab/Eb", true, 8, "", 3, true},
        {"cm", false, -1, "", -1, false},
        {"H7", false, -1, "", -1, false},
        {"", false, -1, "", -1, false},
        {"N.C.", false, -1, "", -1, false},
    };
    for (const Case& c : cases) {
        ChordName n;
        n.bass = 99;
        EXPECT_EQ(chord_parse(c.text, n), c.ok) << c.text;
        EXPECT_EQ(n.root, c.root) << c.text;
        EXPECT_EQ(n.quality, c.quality) << c.text;
        EXPECT_EQ(n.bass, c.bass) << c.text;
        EXPECT_EQ(n.flat, c.flat) << c.text;
    }
}

TEST(NoteParse, LeavesPositionOnFailure)
{
    size_t pos = 2;
    bool flat = false;
    EXPECT_EQ(note_parse("xxq", pos, flat), -1);
    EXPECT_EQ(pos, 2u);
    pos = 3;
    EXPECT_EQ(note_parse("xxq", pos, flat), -1);
    pos = 1;
    EXPECT_EQ(note_parse("xEbb", pos, flat), 2);
    EXPECT_EQ(pos, 4u);
    EXPECT_TRUE(flat);
}

TEST(NoteSpell, ReducesAnyInteger)
{
    EXPECT_EQ(note_spell(-1, false), "B");
    EXPECT_EQ(note_spell(13, true), "Db");
    EXPECT_EQ(note_spell(10, false), "A#");
    EXPECT_EQ(note_spell(-2147483647, true), note_spell(-2147483647 % 12 + 12, true));
}

TEST(KeyFlat, MinorKeysUseTheirRelativeMajor)
{
    struct {
        const char* key;
        bool flat;
    } cases[] = {{"F", true}, {"Dm", true}, {"Em", false}, {"G", false}, {"Bb", true},
                 {"A#", true}, {"Cmaj7", false}, {"Gm", true}, {"Ebm", true}, {"D#m", true}, {"C#m", false}};
    for (auto c : cases) {
        ChordName k;
        chord_parse(c.key, k);
        EXPECT_EQ(key_flat(k), c.flat) << c.key;
    }
    EXPECT_FALSE(key_flat(ChordName{}));
}

TEST(ChordSimplify, ModesReduceAsDocumented)
{
    struct {
        const char* q;
        int mode;
        const char* out;
    } cases[] = {
        {"m9", 1, "m7"},       {"maj9", 1, "maj7"}, {"13", 1, "7"},     {"6/9", 1, ""},
        {"m7b5", 1, "m7b5"},   {"dim7", 1, "dim7"}, {"M7", 1, "maj7"},  {"m6", 1, "m"},
        {"sus4", 1, "sus4"},   {"m7b5", 2, "dim"},  {"7sus4", 2, "sus4"}, {"add9", 2, ""},
        {"sus2", 2, "sus2"},   {"aug", 2, "aug"},   {"+", 2, "aug"},    {"-7", 2, "m"},
        {"o7", 2, "dim"},      {"dim", 3, "m"},     {"aug", 3, ""},     {"sus4", 3, ""},
        {"m7", 3, "m"},        {"maj7", 3, ""},     {"weird", 0, "weird"}, {"m7", -1, "m7"},
    };
    for (auto c : cases)
        EXPECT_EQ(chord_simplify(c.q, c.mode), c.out) << c.q << " mode " << c.mode;
}

TEST(ChordFormat, DegreesSpellingTransposeAndCapo)
{
    struct {
        const char* chord;
        const char* key;
        int transpose, capo, notation, simplify;
        const char* out;
    } cases[] = {
        {"Am", "C", 0, 0, 1, 0, "6m"},        {"G7", "C", 0, 0, 1, 0, "5(7)"},
        {"Gsus4", "C", 0, 0, 1, 0, "5sus4"},  {"C", "C", 0, 0, 1, 0, "1"},
        {"C/E", "C", 0, 0, 2, 0, "I/3"},      {"Am7", "C", 0, 0, 2, 0, "vi7"},
        {"Bdim", "C", 0, 0, 2, 0, "viio"},    {"Bm7b5", "C", 0, 0, 2, 0, "vii7b5"},
        {"Cmaj7", "C", 0, 0, 2, 0, "Imaj7"},  {"Eb", "C", 0, 0, 2, 0, "bIII"},
        {"Bbmin7", "C", 0, 0, 2, 0, "bvii7"}, {"Bdim7", "C", 0, 0, 2, 0, "viio7"},
        {"G7/B", "C", 0, 0, 1, 2, "5"},       // simplify 2 drops the bass
        {"G7/B", "C", 0, 0, 1, 1, "5(7)/7"},
        {"Am", "", 0, 0, 1, 0, "Am"},         // no key: letters
        {"Bb", "F", 2, 0, 0, 0, "C"},         // transposed key G is sharp
        {"A", "A", 1, 0, 0, 0, "Bb"},         // transposed key Bb is flat
        {"A", "", 1, 0, 0, 0, "A#"},
        {"Bb", "", 0, 0, 0, 0, "Bb"},         {"A#", "", 0, 0, 0, 0, "A#"},
        {"A", "", 0, 2, 0, 0, "G"},           {"A", "", 2, 2, 0, 0, "A"},
        {"D/F#", "Dm", 1, 0, 0, 0, "Eb/G"},   {"Bbm7/Ab", "", 0, 0, 0, 3, "Bbm"},
        {"Verse", "C", 3, 0, 1, 2, "Verse"},  {"cm", "C", 1, 0, 0, 0, "cm"},
        {"N.C.", "C", 0, 0, 1, 0, "N.C."},
    };
    for (auto c : cases) {
        ChordSettings s;
        s.transpose = c.transpose;
        s.capo = c.capo;
        s.notation = c.notation;
        s.simplify = c.simplify;
        EXPECT_EQ(chord_format(c.chord, c.key, s), c.out) << c.chord << " in " << c.key;
    }
}

TEST(ChordFunction, ByRootIntervalInMajorOrMinor)
{
    EXPECT_EQ(chord_function("E", "C"), 1);
    EXPECT_EQ(chord_function("Bb", "Am"), 0);
    EXPECT_EQ(chord_function("G", "Am"), 3);
    EXPECT_EQ(chord_function("Dm7", "C"), 2);
    EXPECT_EQ(chord_function("C", "Am"), 1);
    EXPECT_EQ(chord_function("C", ""), 0);
    EXPECT_EQ(chord_function("x", "C"), 0);
}

TEST(ChordLists, AtAndSpread)
{
    std::vector<ChordEv> evs = {{0.0f, "A"}, {2.0f, "B"}, {4.0f, "C"}};
    struct {
        float t;
        int idx;
    } at[] = {{-0.1f, -1}, {0.0f, 0}, {2.0f, 1}, {3.99f, 1}, {100.0f, 2}};
    for (auto a : at) EXPECT_EQ(chord_at(evs, a.t), a.idx) << a.t;
    EXPECT_EQ(chord_at({}, 1.0f), -1);

    std::vector<std::string> names = {"A", "B", "C"};
    std::vector<ChordEv> out = {{1.0f, "keep"}};
    chord_spread(names, 10.0f, 16.0f, out);
    EXPECT_TRUE(names.empty());
    ASSERT_EQ(out.size(), 4u);
    EXPECT_FLOAT_EQ(out[1].t, 10.0f);
    EXPECT_FLOAT_EQ(out[2].t, 12.0f);
    EXPECT_FLOAT_EQ(out[3].t, 14.0f);
    EXPECT_EQ(out[3].name, "C");
    names = {"X", "Y"};
    chord_spread(names, 5.0f, 5.0f, out);
    EXPECT_FLOAT_EQ(out[4].t, 5.0f);
    EXPECT_FLOAT_EQ(out[5].t, 5.0f);
}

TEST(ChordMtime, NanosecondsOrZero)
{
    tsup::TempDir d;
    EXPECT_EQ(chord_mtime(d / "none"), 0);
    tsup::write_file(d / "f", "x");
    EXPECT_GT(chord_mtime(d / "f"), 1000000000LL * 1000000000LL);
}

}  // namespace
