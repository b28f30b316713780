// analyze and autoio through the real program, with a recogniser stand-in.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/history.h"
#include "core/points.h"
#include "support/standin_support.h"

namespace {

using tsup::FakeWord;

// A title left-aligned in 40 columns, as the report lines print it.
std::string col40(const std::string& title)
{
    return title + std::string(title.size() < 40 ? 40 - title.size() : 0, ' ');
}

const std::string kTitle = "Don't \"Stop\" now";

std::string esc(const std::string& s)
{
    std::string o;
    for (char c : s) {
        if (c == '"' || c == '\\') o += '\\';
        o += c;
    }
    return o;
}

// A song of 13 s: 3 s of silence, then a steady tone.
void make_delayed_tone(const std::string& path)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    tsup::RunResult r = tsup::run({"ffmpeg", "-nostdin", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                                   "sine=frequency=440:duration=10:sample_rate=22050", "-af", "adelay=3000", "-ac", "1",
                                   path});
    ASSERT_EQ(r.status, 0) << r.err;
}

class AnalyzeCmd : public ::testing::Test {
protected:
    tsup::TempDir home;
    tsup::FakeBin bin{home / "bin"};
    std::string song = home / "music/Don't \"Stop\" [live].wav";
    tsup::RunOptions opts;

    void SetUp() override
    {
        make_delayed_tone(song);
        bin.add("fake-asr", tsup::fake_asr_script());
        tsup::write_file(home / "asr.json",
                         tsup::asr_json({{{" Oh", 3.5, 4.0}, {" yeah", 4.1, 5.0}},
                                         {{" the", 6.0, 6.5}, {" end", 11.0, 12.7}}}));
        opts.env = {{"PATH", bin.path_env()},
                    {"LUMORA_ASR", "fake-asr"},
                    {"FAKE_ASR_JSON", home / "asr.json"},
                    {"FAKE_ASR_LOG", home / "asr.log"},
                    {"LUMORA_MUSIC_APP_PROC", "no-such-player-xyz"}};
        Track t;
        t.path = song;
        t.title = kTitle;
        t.artist = "Band";
        t.duration = 13;
        Track other = t;
        other.path = home / "music/other.wav";
        other.title = "Other";
        make_delayed_tone(other.path);
        tsup::write_catalog(home.path(), {t, other}, home / "music");
    }
};

TEST_F(AnalyzeCmd, PrintsMeasurementsAndSuggestions)
{
    tsup::RunResult r = tsup::run_cli(home.path(), {"analyze", "stop", "--secs", "5", "--tail", "3"}, opts);
    ASSERT_EQ(r.status, 0) << r.err;
    std::string want_head = "[[song]]\ntitle = \"" + esc(kTitle) + "\"\npath = \"" + esc(song) +
                            "\"\nduration = 13.0\nasr = true\nbeat_in = 3.0\nsuggest_in = 3.20\n"
                            "suggest_out = 13.00\nspeech = [\n"
                            "  \"  3.50-  5.00 Oh yeah\",\n"
                            "]\nspeech_tail = [\n"
                            "  \"  6.00- 12.70 the end\",\n"
                            "]\nloudness_db_per_s = [-120, -120, -120, ";
    ASSERT_EQ(r.out.substr(0, want_head.size()), want_head) << r.out;
    std::string rest = r.out.substr(want_head.size());
    EXPECT_EQ(std::count(rest.begin(), rest.end(), ','), 1) << "at most --secs values: " << rest;
    EXPECT_EQ(rest.substr(rest.size() - 3), "]\n\n");
}

TEST_F(AnalyzeCmd, WithoutRecogniserReportsNoSuggestion)
{
    opts.env["FAKE_ASR_FAIL"] = "1";
    tsup::RunResult r = tsup::run_cli(home.path(), {"analyze", song}, opts);
    ASSERT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("asr = false\nbeat_in = 3.0\nsuggest_in = -1.00\nsuggest_out = -1.00\n"
                         "speech = [\n]\nspeech_tail = [\n]\n"),
              std::string::npos)
        << r.out;

    r = tsup::run_cli(home.path(), {"analyze", "nothing-matches-this"}, opts);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
}

TEST_F(AnalyzeCmd, RelativePathWithLeadingDash)
{
    std::filesystem::copy_file(song, home / "music/-lead.wav");
    opts.cwd = home / "music";
    tsup::RunResult r = tsup::run_cli(home.path(), {"analyze", "-lead.wav"}, opts);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("path = \"-lead.wav\"\nduration = 13.0\nasr = true\n"), std::string::npos) << r.out;
}

TEST_F(AnalyzeCmd, UndecodableFileGivesZeroDuration)
{
    std::string junk = home / "music/junk.mp3";
    tsup::write_file(junk, "not audio at all");
    opts.env["FAKE_ASR_FAIL"] = "1";
    tsup::RunResult r = tsup::run_cli(home.path(), {"analyze", junk}, opts);
    ASSERT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("duration = 0.0\nasr = false\nbeat_in = 0.0\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("loudness_db_per_s = []\n\n"), std::string::npos);
}

TEST_F(AnalyzeCmd, AutoioSetsKeepsAndClashesAsOneHistoryStep)
{
    tsup::ScopedEnv env_home("HOME", home.path());
    IoStore pts;
    pts[home / "music/other.wav"] = {13.0f, -1.0f};  // In set at the very end: suggestion clashes
    ASSERT_TRUE(io_store_save(pts, io_store_file()));

    tsup::RunResult r = tsup::run_cli(home.path(), {"autoio", "--artist", "band"}, opts);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("set     " + col40(kTitle) + " in 3.20 out 13.00\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("clash   " + col40("Other") + " kept point vs suggestion\n"),
              std::string::npos);
    EXPECT_NE(r.out.find("\n1 of 2 set \xE2\x80\x94 check them; suggestions miss skits/tags\n"), std::string::npos);
    IoStore after = io_store_load(io_store_file());
    EXPECT_NEAR(after[song].in, 3.2, 1e-4);
    EXPECT_NEAR(after[song].out, 13.0, 1e-4);
    EXPECT_EQ(hist_undo_label(), "Auto I/O (1 song)");

    // Both points set: kept without --replace, overwritten with it.
    r = tsup::run_cli(home.path(), {"autoio", "stop"}, opts);
    EXPECT_NE(r.out.find("kept    " + col40(kTitle) + " in 3.20 out 13.00\n"),
              std::string::npos)
        << r.out;
    after[song] = {1.0f, 2.0f};
    ASSERT_TRUE(io_store_save(after, io_store_file()));
    r = tsup::run_cli(home.path(), {"autoio", "--artist", "band", "--replace"}, opts);
    after = io_store_load(io_store_file());
    EXPECT_NEAR(after[song].in, 3.2, 1e-4);
    EXPECT_NEAR(after[home / "music/other.wav"].in, 3.2, 1e-4);
    EXPECT_EQ(hist_undo_label(), "Auto I/O, replace (2 songs)");
    EXPECT_EQ(hist_undo(), "Auto I/O, replace (2 songs)");
    after = io_store_load(io_store_file());
    EXPECT_NEAR(after[song].in, 1.0, 1e-4) << "undo brings back the points from before the run";
}

TEST_F(AnalyzeCmd, AutoioWithoutSpeechLeavesPointsAlone)
{
    opts.env["FAKE_ASR_FAIL"] = "1";
    tsup::RunResult r = tsup::run_cli(home.path(), {"autoio", "stop"}, opts);
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("no-asr  " + col40(kTitle) + " (left as is)\n"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\n0 of 1 set"), std::string::npos);
    r = tsup::run_cli(home.path(), {"autoio", "zzz-no-match"}, opts);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "no matching songs\n");
}

}  // namespace
