// The playback engine, driven without a device: frames are pulled directly
// from a manual engine, so fades, seeks and the end can be checked exactly.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "app/player.h"
#include "support/app_support.h"
#include "support/support.h"

namespace {

constexpr int kRate = 44100;
constexpr int kRamp = kRate * 12 / 1000;  // 12 ms in frames: 529

// A loaded, fully decoded constant-level song (0.5) of `frames` frames.
struct EngineFixture : ::testing::Test {
    tsup::TempDir dir;
    Player player;
    std::string song = dir / "dc.wav";

    void SetUp() override { ASSERT_TRUE(player.init_manual(kRate)); }

    void load(int frames) {
        tsup::write_wav_const(song, frames, kRate, 0.5);
        ASSERT_TRUE(player.load(song));
        wait_ready();
    }
    void wait_ready() {
        for (int i = 0; i < 500 && !player.ready(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ASSERT_TRUE(player.ready());
    }
    // Left channel of the next n frames.
    std::vector<float> pull(int n) {
        std::vector<float> buf(size_t(n) * 2);
        player.pull(buf.data(), n);
        std::vector<float> left(buf.size() / 2);
        for (int i = 0; i < n; ++i) left[size_t(i)] = buf[size_t(2 * i)];
        return left;
    }
};

TEST_F(EngineFixture, NothingLoadedIsNeutralAndSilent) {
    player.play();
    player.seek(3.0f);
    player.fade(0.0f, 0.5f, 100);
    EXPECT_FALSE(player.playing);
    EXPECT_EQ(player.position_sec(), 0.0f);
    EXPECT_EQ(player.duration_sec(), 0.0f);
    EXPECT_EQ(player.fade_volume(), 1.0f);
    EXPECT_FALSE(player.finished());
    for (float v : pull(256)) ASSERT_EQ(v, 0.0f);
}

TEST_F(EngineFixture, FailedLoadLeavesNothingLoaded) {
    load(kRate);
    EXPECT_TRUE(player.loaded());
    tsup::write_file(dir / "text.mp3", "this is not audio at all");
    for (const std::string& bad : {dir / "missing.wav", dir / "text.mp3"}) {
        EXPECT_FALSE(player.load(bad)) << bad;
        EXPECT_FALSE(player.loaded());
        EXPECT_EQ(player.duration_sec(), 0.0f);
    }
}

TEST_F(EngineFixture, LoadedSongWaitsUntilPlayed) {
    load(kRate / 2);
    EXPECT_FLOAT_EQ(player.duration_sec(), 0.5f);
    for (float v : pull(1000)) ASSERT_EQ(v, 0.0f);
    EXPECT_EQ(player.position_sec(), 0.0f);
    player.play();
    // A fresh song is at full level, so play has nothing to ramp.
    auto out = pull(10);
    EXPECT_FLOAT_EQ(out[0], 0.5f);
}

TEST_F(EngineFixture, PauseRampsDownThenHoldsAndPlayResumesWithRamp) {
    load(kRate);
    player.play();
    pull(1000);
    player.pause();
    EXPECT_FALSE(player.playing);
    auto down = pull(kRamp + 200);
    EXPECT_FLOAT_EQ(down[0], 0.5f);
    EXPECT_NEAR(down[kRamp / 2], 0.25f, 0.002f);
    for (int i = 1; i < kRamp; ++i) ASSERT_LE(down[size_t(i)], down[size_t(i - 1)]) << i;
    for (int i = kRamp; i < kRamp + 200; ++i) ASSERT_EQ(down[size_t(i)], 0.0f) << i;
    // The cursor moved through the ramp and then stopped.
    const float held = player.position_sec();
    EXPECT_FLOAT_EQ(held, float(1000 + kRamp) / kRate);
    pull(500);
    EXPECT_EQ(player.position_sec(), held);
    EXPECT_FALSE(player.finished());

    player.play();
    auto up = pull(kRamp + 10);
    EXPECT_NEAR(up[0], 0.0f, 0.002f);
    EXPECT_NEAR(up[kRamp / 2], 0.25f, 0.002f);
    EXPECT_FLOAT_EQ(up[kRamp + 5], 0.5f);
    EXPECT_FLOAT_EQ(player.position_sec(), held + float(kRamp + 10) / kRate);
}

TEST_F(EngineFixture, CallerFadesAreLinearAndCanStartFromTheCurrentLevel) {
    load(kRate);
    const int len = kRate / 10;  // 100 ms
    player.fade(0.0f, 1.0f, 100);
    EXPECT_EQ(player.fade_volume(), 0.0f);
    player.play();  // its 12 ms ramp starts from the level the fade left: 0
    pull(kRamp / 2);
    EXPECT_NEAR(player.fade_volume(), 0.5f, 0.01f);
    pull(kRamp);
    EXPECT_FLOAT_EQ(player.fade_volume(), 1.0f);

    player.fade(1.0f, 0.0f, 100);
    pull(len / 4);
    EXPECT_NEAR(player.fade_volume(), 0.75f, 0.001f);
    player.fade(-1.0f, 1.0f, 100);  // from where the previous fade got to
    auto out = pull(2);
    EXPECT_NEAR(out[0], 0.5f * 0.75f, 0.002f);
    pull(len);
    EXPECT_FLOAT_EQ(player.fade_volume(), 1.0f);
}

TEST_F(EngineFixture, SeekIsExactAndClampedToTheSong) {
    load(kRate);
    player.seek(0.25f);
    EXPECT_FLOAT_EQ(player.position_sec(), float(kRate / 4) / kRate);
    player.play();
    pull(100);
    EXPECT_FLOAT_EQ(player.position_sec(), float(kRate / 4 + 100) / kRate);
    player.seek(-2.0f);
    EXPECT_EQ(player.position_sec(), 0.0f);
    player.seek(50.0f);
    EXPECT_FLOAT_EQ(player.position_sec(), 1.0f);
}

TEST_F(EngineFixture, EndIsReportedExactlyAndOnlyWhilePlaying) {
    load(1000);
    player.play();
    pull(999);
    EXPECT_FALSE(player.finished());
    auto tail = pull(10);
    EXPECT_FLOAT_EQ(tail[0], 0.5f);
    EXPECT_EQ(tail[1], 0.0f);
    EXPECT_TRUE(player.finished());
    EXPECT_FLOAT_EQ(player.position_sec(), 1000.0f / kRate);
    player.pause();
    EXPECT_FALSE(player.finished());
    player.play();
    player.seek(0.0f);  // seeking back leaves the end
    pull(10);
    EXPECT_FALSE(player.finished());
    player.stop();
    EXPECT_FALSE(player.finished());
    EXPECT_FALSE(player.loaded());
}

TEST_F(EngineFixture, SeekAndPlayBeforeTheDecodeEndsTakeEffectWhenItDoes) {
    tsup::write_wav_const(song, kRate * 2, kRate, 0.5);
    ASSERT_TRUE(player.load(song));
    player.seek(1.5f);
    player.play();
    wait_ready();
    EXPECT_FLOAT_EQ(player.position_sec(), 1.5f);
    auto out = pull(10);
    EXPECT_FLOAT_EQ(out[0], 0.5f);
    EXPECT_FLOAT_EQ(player.position_sec(), 1.5f + 10.0f / kRate);
}

TEST(PlayerDecode, EveryCatalogTypePlaysAtTheEngineRate) {
    tsup::TempDir dir;
    Player player;
    ASSERT_TRUE(player.init_manual(48000));
    for (const char* ext : {"mp3", "flac", "wav", "m4a", "ogg", "opus", "aac", "wma"}) {
        std::string path = dir / (std::string("tone.") + ext);
        tsup::make_tone(path, 1.0);
        ASSERT_TRUE(player.load(path)) << ext;
        for (int i = 0; i < 500 && !player.ready(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ASSERT_TRUE(player.ready()) << ext;
        EXPECT_NEAR(player.duration_sec(), 1.0f, 0.06f) << ext;
    }
}

}  // namespace

namespace {

// The SDL device: an unusable driver falls back to the silent dummy driver
// with a note for the now-playing line; the dummy driver plays in real time.
TEST(PlayerDevice, FallsBackToTheDummyDriverAndPlaysInRealTime) {
    struct Case {
        const char* driver;
        bool note;
    } cases[] = {{"dummy", false}, {"no-such-driver", true}};
    tsup::TempDir dir;
    tsup::write_wav_const(dir / "s.wav", 44100 * 2, 44100, 0.5);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.driver);
        tsup::ScopedEnv env("SDL_AUDIODRIVER", c.driver);
        Player p;
        ASSERT_TRUE(p.init());
        EXPECT_EQ(!p.device_note().empty(), c.note) << p.device_note();
        EXPECT_GT(p.rate(), 0);
        ASSERT_TRUE(p.load(dir / "s.wav"));
        p.play();
        for (int i = 0; i < 500 && !p.ready(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        EXPECT_GT(p.position_sec(), 0.1f);
        EXPECT_LT(p.position_sec(), 1.9f);
        p.shutdown();
        EXPECT_FALSE(p.loaded());
    }
}

}  // namespace
