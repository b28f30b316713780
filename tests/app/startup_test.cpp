// Start-up helpers of the player: background durations merged by path, and
// what the desktop's Now Playing is told.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "app/app_state.h"
#include "app/mpris_meta.h"
#include "app/startup_durations.h"
#include "support/app_support.h"
#include "support/support.h"

namespace {

Track track(const std::string& path, const std::string& title, uint32_t duration) {
    Track t;
    t.path = path;
    t.title = title;
    t.duration = duration;
    return t;
}

TEST(StartupDurations, MeasuredLengthsFollowTheirPathsAfterAReSort) {
    tsup::TempDir dir;
    tsup::write_wav_const(dir / "two.wav", 2 * 8000, 8000, 0.1);
    tsup::write_wav_const(dir / "three.wav", 3 * 8000, 8000, 0.1);
    AppState s;
    s.library.tracks = {track(dir / "two.wav", "Two", 0), track(dir / "three.wav", "Three", 99),
                        track(dir / "gone.wav", "Gone", 7)};
    s.durations = durations_start(s.library);
    // The library is re-sorted while the worker runs.
    std::swap(s.library.tracks[0], s.library.tracks[2]);
    for (int i = 0; i < 2000 && !durations_apply(s); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(s.durations, nullptr);
    EXPECT_EQ(s.library.tracks[0].title, "Gone");
    EXPECT_EQ(s.library.tracks[0].duration, 7u);  // unmeasurable: the old value stays
    EXPECT_EQ(s.library.tracks[1].duration, 3u);
    EXPECT_EQ(s.library.tracks[2].duration, 2u);
    EXPECT_FALSE(durations_apply(s));  // nothing pending
}

TEST(NowPlaying, ShowsCurrentElseFocusElseFirst) {
    tsup::TempDir dir;
    AppState s;
    EXPECT_FALSE(mpris_meta(s).has_track);
    EXPECT_EQ(mpris_meta(s).title, "Lumora Music");
    EXPECT_EQ(mpris_status(s), "Stopped");

    tsup::write_wav_const(dir / "b.wav", 800, 8000, 0.1);
    s.library.tracks = {track(dir / "a.wav", "A", 61), track(dir / "b.wav", "B", 0)};
    s.library.tracks[0].artist = "Ann";
    s.library.tracks[0].album = "First";
    MprisMeta m = mpris_meta(s);
    EXPECT_EQ(m.title, "A");
    EXPECT_EQ(m.artist, "Ann");
    EXPECT_EQ(m.album, "First");
    EXPECT_EQ(m.length_us, 61000000);
    s.focus = 1;
    EXPECT_EQ(mpris_meta(s).title, "B");
    EXPECT_NE(mpris_track_id(s), MprisMeta{}.track_id);

    ASSERT_TRUE(s.player.init_manual(8000));
    ASSERT_TRUE(s.player.load(s.library.tracks[1].path));
    s.current = 1;
    s.focus = 0;
    EXPECT_EQ(mpris_meta(s).title, "B");
    EXPECT_EQ(mpris_status(s), "Paused");
    s.player.play();
    EXPECT_EQ(mpris_status(s), "Playing");
    // A catalog length of 0 is filled in from the loaded song.
    for (int i = 0; i < 300 && !s.player.ready(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(mpris_meta(s).length_us, 100000);
}

}  // namespace
