#include <gtest/gtest.h>

#include <set>

#include "chords/chord_settings.h"
#include "support/support.h"

namespace {

TEST(ChordSettingsFile, WritesEveryRowInOrder)
{
    std::string text = chord_settings_text(ChordSettings{});
    EXPECT_EQ(text.rfind("# Lumora Music chord display (Chords > Settings... in app)\n"
                         "show_sheet = 1   # bar grid\n"
                         "show_lane = 0   # scrolling strip\n",
                         0),
              0u);
    EXPECT_NE(text.find("\nlyr_size = 28.00   # current line pt\n"), std::string::npos);
    EXPECT_NE(text.find("\ntranspose = 0   # semitones\n"), std::string::npos);
    EXPECT_NE(text.find("\nrepeat = 2   # held chord: 0 name, 1 %, 2 blank, 3 faded name\n"),
              std::string::npos);
    EXPECT_NE(text.find("\nlane_at = 0.15   # playhead position\n"), std::string::npos);
    EXPECT_TRUE(text.ends_with("list_zoom = 1.00   # song table zoom\n"));
    ChordSettings s;
    auto fields = chord_settings_fields(s);
    EXPECT_EQ(fields.size() + 1, static_cast<size_t>(std::count(text.begin(), text.end(), '\n')));
    std::set<std::string> keys;
    for (const auto& f : fields) {
        EXPECT_EQ((f.b != nullptr) + (f.i != nullptr) + (f.f != nullptr), 1) << f.key;
        EXPECT_TRUE(keys.insert(f.key).second) << f.key;
    }
}

TEST(ChordSettingsFile, RoundTripsEveryField)
{
    tsup::TempDir d;
    ChordSettings s;
    s.show_lane = true;
    s.transpose = -5;
    s.capo = 3;
    s.lyr_size = 41.25f;
    s.lane_at = 0.3f;
    s.simplify = 2;
    s.dim_past = false;
    ASSERT_TRUE(chord_settings_save(d / "cs.toml", s));
    ChordSettings r = chord_settings_load(d / "cs.toml");
    EXPECT_EQ(chord_settings_text(r), chord_settings_text(s));
}

TEST(ChordSettingsFile, ClampsTruncatesAndIgnores)
{
    tsup::TempDir d;
    tsup::write_file(d / "cs.toml",
                     "# Lumora Music\ntranspose = -20\nrows = 0\nscale = 3\ncapo = 2.9\n"
                     "show_sheet = 0.5\n  bars_per_row = 5\nnotation = x\nlyr_size=50 # c\n"
                     "unknown = 4\nno equals here\n#capo = 7\nlane_secs = nan\nbar_w = inf\n");
    ChordSettings s = chord_settings_load(d / "cs.toml");
    EXPECT_EQ(s.transpose, -11);
    EXPECT_EQ(s.rows, 1);
    EXPECT_FLOAT_EQ(s.scale, 2.5f);
    EXPECT_EQ(s.capo, 2);
    EXPECT_TRUE(s.show_sheet);
    EXPECT_EQ(s.bars_per_row, 0);  // indented: empty key
    EXPECT_EQ(s.notation, 0);
    EXPECT_FLOAT_EQ(s.lyr_size, 50.0f);
    EXPECT_FLOAT_EQ(s.lane_secs, 4.0f);  // nan reads as 0, then clamped up
    EXPECT_FLOAT_EQ(s.bar_w, 400.0f);
}

TEST(ChordSettingsFile, OlderModeKeyAndMissingFile)
{
    tsup::TempDir d;
    tsup::write_file(d / "m.toml", "mode = 3\n");
    ChordSettings s = chord_settings_load(d / "m.toml");
    EXPECT_TRUE(s.show_lane);
    EXPECT_TRUE(s.show_inline);
    EXPECT_TRUE(s.show_sheet);
    tsup::write_file(d / "m.toml", "show_lane = 1\nmode = 2\n");
    s = chord_settings_load(d / "m.toml");
    EXPECT_FALSE(s.show_lane);
    EXPECT_TRUE(s.show_inline);
    EXPECT_EQ(chord_settings_text(chord_settings_load(d / "none.toml")),
              chord_settings_text(ChordSettings{}));
}

TEST(ChordSettingsFile, LivesInTheStateFolder)
{
    tsup::TempDir home;
    tsup::ScopedEnv h("HOME", home.path());
    EXPECT_EQ(chord_settings_file(), home / ".lumoramusic/chord_settings.toml");
    EXPECT_TRUE(tsup::exists(home / ".lumoramusic"));
}

TEST(LyricPresets, ApplyMatchAndNames)
{
    EXPECT_EQ(lyric_preset_count(), 11);
    EXPECT_EQ(lyric_preset_match(ChordSettings{}), 0);  // defaults are "Triple blend"
    EXPECT_EQ(lyric_preset_name(0), "Triple blend");
    EXPECT_EQ(lyric_preset_name(10), "Tinted classic");
    EXPECT_EQ(lyric_preset_name(11), "");
    EXPECT_EQ(lyric_preset_name(-1), "");
    for (int i = 0; i < lyric_preset_count(); ++i) {
        ChordSettings s;
        s.lyr_ctx = 5;
        s.lyr_align = 1;
        lyric_preset_apply(s, i);
        EXPECT_EQ(lyric_preset_match(s), i) << lyric_preset_name(i);
        EXPECT_EQ(s.lyr_ctx, 5);
        EXPECT_EQ(s.lyr_align, 1);
    }
    ChordSettings s;
    lyric_preset_apply(s, 6);
    s.lyr_size = 28.4f;
    EXPECT_EQ(lyric_preset_match(s), 6);
    s.lyr_size = 28.5f;
    EXPECT_EQ(lyric_preset_match(s), -1);
    ChordSettings before = s;
    lyric_preset_apply(s, 11);
    lyric_preset_apply(s, -1);
    EXPECT_EQ(chord_settings_text(s), chord_settings_text(before));
}

}  // namespace
