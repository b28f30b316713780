#include <gtest/gtest.h>
#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>

#include "core/library.h"
#include "support/support.h"

using tsup::TempDir;

namespace {

// A small music folder: two tagged MP3s in an album folder, an untagged WAV,
// a text file, a trash folder, and a zero-length "song".
struct MusicFolder {
    TempDir dir;
    std::string root = dir / "Music";
    MusicFolder()
    {
        tsup::make_tone(root + "/Band/Album/02 b.mp3", 2.0, 440,
                        {"-metadata", "title=Second", "-metadata", "artist=Band", "-metadata", "album=Album",
                         "-metadata", "track=2/9", "-id3v2_version", "3"});
        tsup::make_tone(root + "/Band/Album/01 a.mp3", 3.0, 550,
                        {"-metadata", "title=First", "-metadata", "artist=Band", "-metadata", "album=Album",
                         "-metadata", "track=1", "-id3v2_version", "3"});
        tsup::make_tone(root + "/loose.wav", 1.0);
        tsup::write_file(root + "/notes.txt", "not audio");
        tsup::write_file(root + "/empty.mp3", "");
        tsup::write_file(root + "/.lumoramusic-trash/gone.mp3", "x");
    }
};

std::vector<std::string> paths(const Library& lib)
{
    std::vector<std::string> out;
    for (const Track& t : lib.tracks) out.push_back(t.path);
    return out;
}

}  // namespace

TEST(LibraryScan, FirstScanReadsTagsAndDurations)
{
    MusicFolder m;
    Library lib;
    lib.scan_folder(m.root);
    ASSERT_EQ(paths(lib), (std::vector<std::string>{m.root + "/Band/Album/01 a.mp3", m.root + "/Band/Album/02 b.mp3",
                                                    m.root + "/empty.mp3", m.root + "/loose.wav"}));
    EXPECT_EQ(lib.tracks[0].title, "First");
    EXPECT_EQ(lib.tracks[0].artist, "Band");
    EXPECT_EQ(lib.tracks[0].track_num, 1);
    EXPECT_EQ(lib.tracks[0].duration, 3u);
    EXPECT_EQ(lib.tracks[1].track_num, 2);
    EXPECT_EQ(lib.tracks[1].duration, 2u);
    EXPECT_EQ(lib.tracks[2].title, "empty");
    EXPECT_EQ(lib.tracks[2].duration, 0u) << "an undecodable file keeps an unknown length";
    EXPECT_EQ(lib.tracks[3].title, "loose");
    EXPECT_EQ(lib.tracks[3].duration, 1u);
    lib.sort_natural();
    EXPECT_EQ(lib.tracks[2].title, "First");
    EXPECT_EQ(lib.tracks[3].title, "Second");
}

TEST(LibraryScan, NotAFolderDoesNothing)
{
    TempDir d;
    Library lib;
    lib.scan_folder(d / "nope");
    tsup::write_file(d / "file.mp3", "");
    lib.scan_folder(d / "file.mp3");
    EXPECT_TRUE(lib.tracks.empty());
}

TEST(LibraryScan, SymlinkLoopsAndUnreadableFoldersAreSurvived)
{
    TempDir d;
    std::string root = d / "Music";
    tsup::make_tone(root + "/a/song.wav", 0.5);
    ASSERT_EQ(::symlink((root + "/a").c_str(), (root + "/a/loop").c_str()), 0);
    ASSERT_EQ(::symlink((root + "/a/song.wav").c_str(), (root + "/link.wav").c_str()), 0);
    tsup::write_file(root + "/locked/hidden.wav", "");
    ::chmod((root + "/locked").c_str(), 0);
    Library lib;
    lib.scan_folder(root);
    ::chmod((root + "/locked").c_str(), 0755);
    std::vector<std::string> got = paths(lib);
    EXPECT_NE(std::find(got.begin(), got.end(), root + "/a/song.wav"), got.end());
    EXPECT_NE(std::find(got.begin(), got.end(), root + "/link.wav"), got.end()) << "a link to a file counts";
    for (const auto& p : got) EXPECT_EQ(p.find("/loop/"), std::string::npos) << p;
}

TEST(LibraryAdd, NoDuplicatesAndFoldersAppendOnlyNewFiles)
{
    MusicFolder m;
    Library lib;
    lib.add_path(m.root + "/loose.wav");
    lib.add_path(m.root + "/loose.wav");
    ASSERT_EQ(lib.tracks.size(), 1u);
    lib.add_path(m.root + "/notes.txt");
    lib.add_path(m.root + "/missing.mp3");
    ASSERT_EQ(lib.tracks.size(), 1u);
    lib.add_path(m.root);
    std::vector<std::string> got = paths(lib);
    ASSERT_EQ(got.size(), 5u) << "trash folders are not skipped when adding";
    EXPECT_EQ(got[0], m.root + "/loose.wav");
    EXPECT_EQ(got[1], m.root + "/.lumoramusic-trash/gone.mp3");
    EXPECT_EQ(got[2], m.root + "/Band/Album/01 a.mp3");
}

TEST(LibraryRefresh, ZeroKeepsLastGoodValue)
{
    MusicFolder m;
    Library lib;
    Track gone;
    gone.path = m.root + "/vanished.mp3";
    gone.duration = 99;
    lib.tracks.push_back(gone);
    Track wav;
    wav.path = m.root + "/loose.wav";
    lib.tracks.push_back(wav);
    lib.refresh_durations();
    EXPECT_EQ(lib.tracks[0].duration, 99u);
    EXPECT_EQ(lib.tracks[1].duration, 1u);
}
