// Speech cache, sentences, suggestions and LRC lines built from speech.
#include <gtest/gtest.h>

#include "cli/asr.h"
#include "cli/asr_lrc.h"
#include "cli/loudness.h"
#include "support/standin_support.h"

namespace {

using tsup::FakeWord;

TEST(AsrSegs, KeepsSentencesWithRealWordsOnly)
{
    tsup::TempDir tmp;
    std::string json = tmp / "r.json";
    tsup::write_file(json, tsup::asr_json({
                               {{" ...", 0.5, 0.7}, {" Hello", 1.0, 1.4}, {" world", 1.5, 2.0}, {"!", 2.0, 2.1}},
                               {{" ?!", 3.0, 3.2}, {" ,", 3.3, 3.4}},    // punctuation only: dropped
                               {{" \xC3\xA9t\xC3\xA9", 5.0, 5.5}},       // non-ASCII counts
                           }));
    std::vector<Seg> segs = cli_asr_segs(json);
    ASSERT_EQ(segs.size(), 2u);
    EXPECT_FLOAT_EQ(segs[0].start, 1.0f);  // first counting token, not the "..."
    EXPECT_FLOAT_EQ(segs[0].end, 2.0f);    // last counting token, not the "!"
    EXPECT_EQ(segs[0].text, "... Hello world!");  // leading space removed
    EXPECT_FLOAT_EQ(segs[1].start, 5.0f);

    tsup::write_file(json, "{\"sentences\": [{\"text\": \"x\"}, 3, {\"tokens\": [{\"text\": \"a\"}]}]");
    EXPECT_TRUE(cli_asr_segs(json).empty());
    EXPECT_TRUE(cli_asr_segs(tmp / "missing.json").empty());
}

TEST(AsrSuggest, InAndOut)
{
    auto seg = [](float s, float e) { return Seg{s, e, "x"}; };
    struct InCase {
        std::vector<Seg> segs;
        double beat;
        double want;
    } ins[] = {
        {{seg(0.2f, 3)}, 0, 0},                    // starts within 0.3 s: In 0
        {{seg(5, 6)}, 0, 4.7},                     // 0.3 s before the voice
        {{seg(2, 3), seg(9.5f, 12)}, 10, 9.2},     // intro talk long before the music: skipped
        {{seg(2, 3), seg(9, 12)}, 10, 8.7},        // exactly 1 s before the music counts
        {{seg(2, 3)}, 10, -1},
        {{}, 0, -1},
    };
    for (const InCase& c : ins) EXPECT_NEAR(cli_suggest_in(c.segs, c.beat), c.want, 1e-4);
    EXPECT_NEAR(cli_suggest_out({seg(1, 2), seg(10, 99.8f)}, 100), 100, 1e-4);  // capped
    EXPECT_NEAR(cli_suggest_out({seg(1, 2), seg(10, 50)}, 100), 50.5, 1e-4);
    EXPECT_EQ(cli_suggest_out({}, 100), -1);
}

TEST(AsrSuggest, BeatInFindsTwoSecondsNearTheMedian)
{
    EXPECT_EQ(cli_beat_in({}, 0.5), 0);
    // quiet intro, a short loud blip, then steady music from 4.0 s
    std::vector<float> curve = {-60, -60, -10, -60, -60, -60, -60, -60, -11, -12, -10, -11, -12, -10, -11, -10, -12};
    EXPECT_DOUBLE_EQ(cli_beat_in(curve, 0.5), 4.0);
    EXPECT_EQ(cli_beat_in({-10, -60, -10, -60, -10, -60}, 0.5), 0);  // no 2 s run
}

TEST(AsrLrc, StampsAndLines)
{
    struct Stamp {
        double t;
        const char* want;
    } stamps[] = {{0, "[00:00.00]"}, {-3, "[00:00.00]"}, {59.996, "[01:00.00]"}, {61.234, "[01:01.23]"},
                  {6000.5, "[100:00.50]"}};
    for (const Stamp& s : stamps) EXPECT_EQ(cli_lrc_stamp(s.t), s.want) << s.t;

    tsup::TempDir tmp;
    std::string json = tmp / "r.json";
    tsup::write_file(json, tsup::asr_json({{{" Hel", 10.0, 10.2}, {"lo", 10.2, 10.4}, {" there", 10.5, 11.0},
                                            {" you", 12.0, 12.3}}}));
    EXPECT_EQ(cli_asr_lrc(json), "[re:lumora-music asr]\n[00:10.00]Hello there\n[00:12.00]you\n");

    auto phrase = [](int n) {
        std::vector<FakeWord> w;
        for (int i = 0; i < n; ++i) w.push_back({" w" + std::to_string(i), 1.0 + i * 0.1, 1.05 + i * 0.1});
        return w;
    };
    auto line_sizes = [&](int n) {
        tsup::write_file(json, tsup::asr_json({phrase(n)}));
        std::vector<size_t> sizes;
        std::string lrc = cli_asr_lrc(json);
        size_t pos = lrc.find('\n') + 1;
        while (pos < lrc.size()) {
            size_t end = lrc.find('\n', pos);
            std::string line = lrc.substr(pos, end - pos);
            sizes.push_back(std::count(line.begin(), line.end(), ' ') + 1);
            pos = end + 1;
        }
        return sizes;
    };
    EXPECT_EQ(line_sizes(9), (std::vector<size_t>{9}));
    EXPECT_EQ(line_sizes(10), (std::vector<size_t>{5, 5}));
    EXPECT_EQ(line_sizes(19), (std::vector<size_t>{7, 6, 6}));

    tsup::write_file(json, tsup::asr_json({{{" ", 1, 2}}}));
    EXPECT_EQ(cli_asr_lrc(json), "[re:lumora-music asr]\n[00:01.00]\n");
    tsup::write_file(json, "{\"sentences\": []}");
    EXPECT_EQ(cli_asr_lrc(json), "");
}

TEST(AsrCache, RunsRecogniserOnceAndReusesResult)
{
    tsup::TempDir tmp;
    tsup::ScopedEnv home("HOME", tmp.path());
    tsup::FakeBin bin(tmp / "bin");
    bin.add("fake-asr", tsup::fake_asr_script());
    tsup::ScopedEnv path("PATH", bin.path_env());
    tsup::ScopedEnv prog("LUMORA_ASR", std::string("fake-asr"));
    tsup::ScopedEnv src("FAKE_ASR_JSON", tmp / "src.json");
    tsup::ScopedEnv log("FAKE_ASR_LOG", tmp / "asr.log");
    tsup::write_file(tmp / "src.json", tsup::asr_json({{{" la", 1, 2}}}));
    std::string song = tmp / "My 'Song' $x.v1.mp3";
    tsup::write_file(song, "12345");

    std::string json = cli_asr_json(song);
    EXPECT_EQ(json, asr_dir(song, 5) + "/My 'Song' $x.v1.json");
    EXPECT_TRUE(tsup::exists(json));
    EXPECT_EQ(cli_asr_json(song), json);
    std::string log_text = tsup::read_file(tmp / "asr.log");
    EXPECT_EQ(std::count(log_text.begin(), log_text.end(), '\n'), 1) << "second call must use the cache";
    EXPECT_NE(log_text.find("HF_HUB_OFFLINE=1 --output-format json --output-dir "), std::string::npos);

    // Another size is another version of the file: a new cache entry.
    EXPECT_NE(asr_dir(song, 6), asr_dir(song, 5));
    EXPECT_EQ(asr_dir(song, 5).size(), (tmp.path() + "/.lumoramusic/asr/").size() + 16);

    tsup::ScopedEnv fail("FAKE_ASR_FAIL", std::string("1"));
    std::string other = tmp / "other.mp3";
    tsup::write_file(other, "x");
    EXPECT_EQ(cli_asr_json(other), "");
    EXPECT_EQ(cli_asr_json(tmp / "missing.mp3"), "");
}

}  // namespace
