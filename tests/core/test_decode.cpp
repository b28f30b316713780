// Whole-file decoding: every catalog type, rate and channel conversion,
// failures and cancelling, and concurrent use.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

#include "core/decode.h"
#include "support/support.h"
#include "support/tags_support.h"

namespace {

class DecodeTest : public tsup::SuiteDirTest {
protected:
    // A one-second 441 Hz tone of the given type, made on first use (each
    // test runs in its own process under ctest, so make only what it needs).
    static std::string tone(const std::string& ext)
    {
        std::string path = file("tone." + ext);
        if (!tsup::exists(path)) tsup::make_tone(path, 1.0, 441);
        return path;
    }
    // Left channel a tone at half scale, right channel silent.
    static std::string left_only()
    {
        std::string path = file("left.wav");
        if (tsup::exists(path)) return path;
        tsup::RunResult r = tsup::run({"ffmpeg", "-nostdin", "-v", "error", "-y", "-f", "lavfi", "-i",
                                       "aevalsrc=0.5*sin(2*PI*441*t)|0:s=44100:d=1", path});
        EXPECT_EQ(r.status, 0) << r.err;
        return path;
    }
};

double rms(const std::vector<float>& v, int channels, int ch)
{
    double sum = 0;
    size_t n = 0;
    for (size_t i = ch; i < v.size(); i += channels, ++n) sum += double(v[i]) * v[i];
    return n ? std::sqrt(sum / n) : 0;
}

// Upward zero crossings per second of one channel, counted over the middle
// half second so codec padding at either end does not matter.
double crossings_per_second(const std::vector<float>& v, int channels, int rate)
{
    size_t from = static_cast<size_t>(rate / 4) * channels, to = static_cast<size_t>(rate * 3 / 4) * channels;
    int up = 0;
    for (size_t i = from + channels; i < to && i < v.size(); i += channels)
        if (v[i - channels] < 0 && v[i] >= 0) ++up;
    return up * 2.0;
}

TEST_F(DecodeTest, EveryCatalogTypeDecodesToTheTone)
{
    // lavfi's sine has amplitude 1/8, so its RMS is 0.125 / sqrt(2).
    const double want_rms = 0.125 / std::sqrt(2.0);
    for (const char* ext : {"mp3", "flac", "m4a", "wav", "ogg", "aac", "wma", "opus"}) {
        SCOPED_TRACE(ext);
        std::vector<float> pcm;
        ASSERT_TRUE(decode_audio(tone(ext), 22050, 1, pcm));
        // Lossy codecs add up to a couple of thousand samples of padding.
        EXPECT_NEAR(static_cast<double>(pcm.size()), 22050.0, 2200.0);
        EXPECT_NEAR(rms(pcm, 1, 0), want_rms, 0.01);
        EXPECT_NEAR(crossings_per_second(pcm, 1, 22050), 441.0, 6.0);
    }
}

TEST_F(DecodeTest, ResamplesToTheRequestedRate)
{
    for (int rate : {11025, 22050, 44100, 48000}) {
        SCOPED_TRACE(rate);
        std::vector<float> pcm;
        ASSERT_TRUE(decode_audio(tone("wav"), rate, 1, pcm));
        EXPECT_NEAR(static_cast<double>(pcm.size()), rate, rate * 0.002);
        EXPECT_NEAR(crossings_per_second(pcm, 1, rate), 441.0, 2.0);
    }
}

TEST_F(DecodeTest, MonoSourceFillsBothStereoChannelsAtFullLevel)
{
    std::vector<float> mono, stereo;
    ASSERT_TRUE(decode_audio(tone("wav"), 44100, 1, mono));
    ASSERT_TRUE(decode_audio(tone("wav"), 44100, 2, stereo));
    ASSERT_EQ(stereo.size(), mono.size() * 2);
    for (size_t i = 0; i < mono.size(); ++i) {
        ASSERT_FLOAT_EQ(stereo[2 * i], mono[i]) << i;
        ASSERT_FLOAT_EQ(stereo[2 * i + 1], mono[i]) << i;
    }
}

TEST_F(DecodeTest, StereoMixesToMonoAsTheAverage)
{
    std::vector<float> stereo, mono;
    ASSERT_TRUE(decode_audio(left_only(), 44100, 2, stereo));
    ASSERT_TRUE(decode_audio(left_only(), 44100, 1, mono));
    ASSERT_EQ(stereo.size(), mono.size() * 2);
    EXPECT_NEAR(rms(stereo, 2, 0), 0.5 / std::sqrt(2.0), 0.005);
    EXPECT_LT(rms(stereo, 2, 1), 1e-4);
    for (size_t i = 0; i < mono.size(); i += 97) ASSERT_NEAR(mono[i], stereo[2 * i] / 2, 1e-5) << i;
}

TEST_F(DecodeTest, FailsCleanlyOnBadInput)
{
    tsup::write_file(file("empty.mp3"), "");
    tsup::write_file(file("text.mp3"), "this is not audio at all, just some words\n");
    tsup::write_file(file("zeros.flac"), std::string(4096, '\0'));
    struct Case {
        std::string path;
        int rate, channels;
    } cases[] = {
        {file("missing.mp3"), 44100, 2}, {file("empty.mp3"), 44100, 2}, {file("text.mp3"), 44100, 2},
        {file("zeros.flac"), 44100, 2},  {tone("wav"), 0, 2},      {tone("wav"), 44100, 0},
        {tone("wav"), 44100, 3},    {dir_->path(), 44100, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path + " " + std::to_string(c.rate) + "/" + std::to_string(c.channels));
        std::vector<float> pcm{1.0f, 2.0f};
        EXPECT_FALSE(decode_audio(c.path, c.rate, c.channels, pcm));
        EXPECT_TRUE(pcm.empty());
    }
}

TEST_F(DecodeTest, CancelStopsAndLeavesNothing)
{
    std::atomic<bool> cancel{true};
    std::vector<float> pcm;
    EXPECT_FALSE(decode_audio(tone("flac"), 44100, 2, pcm, &cancel));
    EXPECT_TRUE(pcm.empty());
    cancel = false;
    EXPECT_TRUE(decode_audio(tone("flac"), 44100, 2, pcm, &cancel));
    EXPECT_FALSE(pcm.empty());
}

TEST_F(DecodeTest, ConcurrentDecodesGiveTheSameSamples)
{
    const char* exts[] = {"mp3", "flac", "ogg", "opus"};
    std::vector<float> want[4], got[4];
    std::string paths[4];
    for (int i = 0; i < 4; ++i) {
        paths[i] = tone(exts[i]);
        ASSERT_TRUE(decode_audio(paths[i], 22050, 1, want[i]));
    }
    std::vector<std::thread> threads;
    std::atomic<int> ok{0};
    for (int i = 0; i < 4; ++i)
        threads.emplace_back([&, i] {
            if (decode_audio(paths[i], 22050, 1, got[i])) ++ok;
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(ok.load(), 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(got[i], want[i]) << exts[i];
}

}  // namespace
