// Path helpers every side file and catalog entry is named with.
#include <gtest/gtest.h>

#include "core/track.h"

namespace {

TEST(TrackPaths, AudioExtensions)
{
    for (const char* yes : {"/m/a.mp3", "/m/a.FLAC", "a.M4a", "/m/a.wav", "/m/a.ogg", "/m/a.aac", "/m/a.WMA",
                            "/m/a.opus", "/m/x.y.mp3"})
        EXPECT_TRUE(is_audio_ext(yes)) << yes;
    for (const char* no : {"/m/a.mp4", "/m/a.txt", "/m/mp3", "/m/a.mp3/", "/m.mp3/a", "/m/.mp3", "", "/m/a.mp33",
                           "/m/a.lrc", "/m/a.chords.toml"})
        EXPECT_FALSE(is_audio_ext(no)) << no;
}

TEST(TrackPaths, StemWithoutExtAndDir)
{
    struct Case {
        const char* path;
        const char* stem;
        const char* without_ext;
        const char* dir;
    } cases[] = {
        {"/a/b.mp3", "b", "/a/b", "/a"},
        {"/a/b.c.mp3", "b.c", "/a/b.c", "/a"},
        {"b.mp3", "b", "b", "."},
        {"/b.mp3", "b", "/b", "/"},
        {"/a.d/b", "b", "/a.d/b", "/a.d"},
        {"/a/.hidden", ".hidden", "/a/.hidden", "/a"},
        {"/a/b.", "b", "/a/b", "/a"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(path_stem(c.path), c.stem);
        EXPECT_EQ(path_without_ext(c.path), c.without_ext);
        EXPECT_EQ(path_dir(c.path), c.dir);
    }
}

}  // namespace
