// Track start, the play queue, the media commands and the end-of-song
// advance, on a small library of tiny WAV files and a device-less engine.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "app/app_loop.h"
#include "app/app_state.h"
#include "app/media.h"
#include "app/track_start.h"
#include "support/app_support.h"
#include "support/support.h"
#include "views_fixture.h"

namespace {

constexpr int kRate = 8000;

// Six songs: A1..A3 on album "A" by "X", B1, B2 on album "B" by "X", and S1
// without album or artist. Each is 200 frames long.
struct QueueFixture : ::testing::Test {
    tsup::TempDir dir;
    AppState s;

    void SetUp() override {
        ASSERT_TRUE(s.player.init_manual(kRate));
        const char* names[][3] = {{"A1", "A", "X"}, {"A2", "A", "X"}, {"A3", "A", "X"},
                                  {"B1", "B", "X"}, {"B2", "B", "X"}, {"S1", "", ""}};
        for (auto& n : names) {
            std::string path = dir / (std::string(n[0]) + ".wav");
            tsup::write_wav_const(path, 200, kRate, 0.25);
            s.library.tracks.push_back(views_track(path, n[0], n[2], n[1]));
        }
    }
    void TearDown() override { media_uninstall(); }

    int index_of(const std::string& title) const {
        for (size_t i = 0; i < s.library.tracks.size(); ++i)
            if (s.library.tracks[i].title == title) return int(i);
        return -1;
    }
    std::string current_title() const {
        return s.current < 0 ? "-" : s.library.tracks[size_t(s.current)].title;
    }
    // Plays the loaded song to its end by pulling frames, then lets the loop advance.
    void play_to_end_and_advance() {
        for (int i = 0; i < 300 && !s.player.ready(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ASSERT_TRUE(s.player.ready());
        std::vector<float> buf(2 * 512);
        s.player.pull(buf.data(), 512);
        ASSERT_TRUE(s.player.finished());
        app_loop_advance(s);
    }
    void add_playlist(std::vector<std::string> titles) {
        Playlist p;
        p.name = "P";
        for (auto& t : titles) {
            int i = index_of(t);
            p.paths.push_back(i >= 0 ? s.library.tracks[size_t(i)].path : dir / (t + ".wav"));
        }
        s.library.playlists.push_back(p);
    }
};

TEST_F(QueueFixture, AlbumKeyNamesUnknownParts) {
    EXPECT_EQ(album_key(s.library.tracks[0]), "A\nX");
    EXPECT_EQ(album_key(s.library.tracks[5]), "Unknown Album\nUnknown Artist");
}

TEST_F(QueueFixture, QueueFollowsWhereTheUserStarted) {
    s.view = View::Songs;
    tracklist_play_idx(s, index_of("B1"));
    EXPECT_TRUE(play_queue(s).empty());
    EXPECT_EQ(repeat_list_name(s), "All Songs");
    EXPECT_EQ(current_title(), "B1");
    EXPECT_TRUE(s.player.playing);

    play_album_track(s, index_of("A2"));
    EXPECT_EQ(play_queue(s), (std::vector<int32_t>{0, 1, 2}));
    EXPECT_EQ(repeat_list_name(s), "Album");
    EXPECT_EQ(s.focus, index_of("A2"));

    add_playlist({"S1", "A1"});
    s.view = View::Playlist;
    s.playlist_sel = 0;
    tracklist_play_idx(s, index_of("S1"));
    EXPECT_TRUE(s.queue_album.empty());
    EXPECT_EQ(play_queue(s), (std::vector<int32_t>{5, 0}));
    EXPECT_EQ(repeat_list_name(s), "Playlist");
}

TEST_F(QueueFixture, StepThroughQueues) {
    // Playlist: B2, A1, (gone), B2, A3 -- a duplicate and a path not in the library.
    add_playlist({"B2", "A1", "Gone", "B2", "A3"});
    s.queue_playlist = 0;
    const int b2 = index_of("B2"), a1 = index_of("A1"), a3 = index_of("A3");
    EXPECT_EQ(play_queue(s), (std::vector<int32_t>{b2, a1, b2, a3}));
    struct Case {
        int from, step;
        bool wrap;
        int want;
    } cases[] = {
        {b2, +1, false, a3},   // after the last occurrence of B2
        {a1, +1, false, b2},
        {a3, +1, false, -2},   // past the end
        {a3, +1, true, b2},    // wraps
        {b2, -1, true, a1},
        {index_of("S1"), +1, false, b2},  // not in the queue: first entry
        {index_of("S1"), -1, false, a3},  // ... or last
    };
    for (const Case& c : cases)
        EXPECT_EQ(queue_step(s, c.from, c.step, c.wrap), c.want) << c.from << " " << c.step;
    s.queue_playlist = -1;
    EXPECT_EQ(queue_step(s, 0, +1, true), -1);  // no queue
}

TEST_F(QueueFixture, ShufflePickNeverRepeatsThePosition) {
    s.queue_album = "B\nX";
    const int b1 = index_of("B1"), b2 = index_of("B2");
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(queue_step(s, b1, 0, false), b2);
        EXPECT_EQ(queue_step(s, b2, 0, false), b1);
    }
    s.queue_album = "A\nX";
    for (int i = 0; i < 50; ++i) EXPECT_NE(queue_step(s, 1, 0, false), 1);
}

TEST_F(QueueFixture, UnplayableSongsAreReportedAndSkippedOnlyWithADirection) {
    tsup::write_file(s.library.tracks[1].path, "not audio");
    std::filesystem::remove(s.library.tracks[2].path);
    // A direct start does not skip.
    EXPECT_EQ(track_start(s, 2, 0), -1);
    EXPECT_EQ(s.play_error, "Can't play \"A3\": file missing");
    EXPECT_EQ(s.current, -1);
    EXPECT_FALSE(s.player.loaded());
    EXPECT_EQ(track_start(s, 1, 0), -1);
    EXPECT_EQ(s.play_error, "Can't play \"A2\": format not supported");
    // With a direction the next playable song starts and the message clears.
    EXPECT_EQ(track_start(s, 1, +1), 3);
    EXPECT_TRUE(s.play_error.empty());
    EXPECT_EQ(track_start(s, 2, -1), 0);
    // Walking off the library stops.
    for (auto& t : s.library.tracks) std::filesystem::remove(t.path);
    EXPECT_EQ(track_start(s, 0, +1), -1);
    EXPECT_EQ(s.current, -1);
}

TEST_F(QueueFixture, CommandsWithoutAQueue) {
    // Nothing loaded, focus on row 4: play/pause starts row 4.
    s.focus = 4;
    media_toggle(s);
    EXPECT_EQ(current_title(), "B2");
    media_toggle(s);
    EXPECT_FALSE(s.player.playing);
    EXPECT_TRUE(s.player.loaded());
    media_toggle(s);
    EXPECT_TRUE(s.player.playing);
    EXPECT_EQ(current_title(), "B2");

    media_next(s);
    EXPECT_EQ(current_title(), "S1");
    media_next(s);  // next always wraps
    EXPECT_EQ(current_title(), "A1");
    media_prev(s);  // previous on the first song goes to the last
    EXPECT_EQ(current_title(), "S1");
}

TEST_F(QueueFixture, NextWrapsWithinAnAlbumButItsEndStopsWithoutRepeat) {
    play_album_track(s, index_of("A3"));
    media_next(s);
    EXPECT_EQ(current_title(), "A1");
    play_album_track(s, index_of("A3"));
    play_to_end_and_advance();
    EXPECT_EQ(s.current, -1);
    EXPECT_FALSE(s.player.loaded());
    EXPECT_EQ(s.library.tracks[size_t(index_of("A3"))].plays, 1u);
}

TEST_F(QueueFixture, EndOfSongAdvance) {
    struct Case {
        const char* name;
        const char* start;
        bool shuffle;
        int repeat;
        bool single;  // library of one song
        const char* want;
    } cases[] = {
        {"next in library order", "A1", false, 0, false, "A2"},
        {"last song stops", "S1", false, 0, false, "-"},
        {"last song wraps with repeat list", "S1", false, 1, false, "A1"},
        {"repeat song restarts", "A2", false, 2, false, "A2"},
        {"shuffle alone stops", "A1", true, 0, true, "-"},
        {"shuffle alone loops with repeat list", "A1", true, 1, true, "A1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.single) s.library.tracks.resize(1);
        for (auto& t : s.library.tracks) t.plays = 0;
        s.shuffle = c.shuffle;
        s.repeat = c.repeat;
        s.view = View::Songs;
        tracklist_play_idx(s, index_of(c.start));
        const int started = s.current;
        play_to_end_and_advance();
        EXPECT_EQ(current_title(), c.want);
        EXPECT_EQ(s.library.tracks[size_t(started)].plays, 1u);
        EXPECT_EQ(s.player.playing, std::string(c.want) != "-");
    }
}

TEST_F(QueueFixture, ShuffleWithoutQueueNeverPicksTheCurrentSong) {
    s.shuffle = true;
    for (int i = 0; i < 10; ++i) {
        int before = s.current < 0 ? 0 : s.current;
        track_start(s, before, 0);
        play_to_end_and_advance();
        ASSERT_GE(s.current, 0);
        EXPECT_NE(s.current, before);
    }
}

TEST_F(QueueFixture, CommandsAreDebouncedPerCommand) {
    media_apply_at(1, 10.0);  // dropped: no state installed yet
    EXPECT_EQ(s.current, -1);
    install_media_tap(s);
    media_apply_at(1, 10.0);
    EXPECT_TRUE(s.player.playing);
    media_apply_at(1, 10.05);  // the same press by a second route
    EXPECT_TRUE(s.player.playing);
    media_apply_at(2, 10.06);  // another command is not held back
    EXPECT_EQ(current_title(), "A2");
    media_apply_at(1, 10.2);
    EXPECT_FALSE(s.player.playing);
    media_apply_at(7, 11.0);  // unknown command
    EXPECT_FALSE(s.player.playing);
}

}  // namespace
