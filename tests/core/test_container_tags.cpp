// Tags and covers of files without ID3, read through the container, and how
// a song entering the catalog picks its tag reader.
#include <gtest/gtest.h>

#include "core/tags.h"
#include "core/track.h"
#include "support/support.h"
#include "support/tags_support.h"

namespace {

class ContainerTags : public tsup::SuiteDirTest {
protected:
    static void SetUpTestSuite()
    {
        SuiteDirTest::SetUpTestSuite();
        for (const char* ext : {"png", "jpg"}) {
            tsup::RunResult r = tsup::run({"ffmpeg", "-nostdin", "-v", "error", "-y", "-f", "lavfi", "-i",
                                           "color=c=red:s=16x16", "-frames:v", "1", *dir_ / (std::string("pic.") + ext)});
            ASSERT_EQ(r.status, 0) << r.err;
        }
    }
};

const std::vector<std::string> kMeta = {"-metadata", "title=Night Song",  "-metadata", "ARTIST=The Band",
                                        "-metadata", "album=Long Player", "-metadata", "genre=Folk",
                                        "-metadata", "track=3/12",        "-metadata", "date=2019-05-01"};

Track fresh(const std::string& path)
{
    Track t;
    t.path = path;
    t.title = path_stem(path);
    return t;
}

TEST_F(ContainerTags, EveryTaggedTypeGivesAllFields)
{
    for (const char* ext : {"flac", "m4a", "ogg", "opus", "wma"}) {
        SCOPED_TRACE(ext);
        std::string path = file(std::string("tagged.") + ext);
        tsup::make_tone(path, 0.5, 440, kMeta);
        Track t = fresh(path);
        EXPECT_TRUE(read_container_tags(t));
        EXPECT_EQ(t.title, "Night Song");
        EXPECT_EQ(t.artist, "The Band");
        EXPECT_EQ(t.album, "Long Player");
        EXPECT_EQ(t.genre, "Folk");
        EXPECT_EQ(t.track_num, 3);
        EXPECT_EQ(t.year, 2019);
    }
}

TEST_F(ContainerTags, MissingValuesKeepTheDefaults)
{
    std::string path = file("partial.flac");
    tsup::make_tone(path, 0.5, 440, {"-metadata", "artist=Only Artist", "-metadata", "year=1987"});
    Track t = fresh(path);
    t.track_num = 9;
    EXPECT_TRUE(read_container_tags(t));
    EXPECT_EQ(t.title, "partial");
    EXPECT_EQ(t.artist, "Only Artist");
    EXPECT_EQ(t.track_num, 9);
    EXPECT_EQ(t.year, 1987);

    std::string bare = file("bare.ogg");
    tsup::make_tone(bare, 0.5, 440, {"-map_metadata", "-1", "-fflags", "+bitexact"});
    Track b = fresh(bare);
    EXPECT_FALSE(read_container_tags(b));
    EXPECT_EQ(b.title, "bare");

    tsup::write_file(file("junk.flac"), "not a flac file");
    Track j = fresh(file("junk.flac"));
    EXPECT_FALSE(read_container_tags(j));
    EXPECT_EQ(j.title, "junk");
}

TEST_F(ContainerTags, AttachedPictureIsReturnedVerbatim)
{
    struct Case {
        const char* ext;
        const char* pic;
    } cases[] = {{"flac", "pic.png"}, {"m4a", "pic.jpg"}, {"mp3", "pic.jpg"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ext);
        std::string plain = file(std::string("plain.") + c.ext), covered = file(std::string("covered.") + c.ext);
        tsup::make_tone(plain, 0.5);
        tsup::RunResult r = tsup::run({"ffmpeg", "-nostdin", "-v", "error", "-y", "-i", plain, "-i", file(c.pic),
                                       "-map", "0", "-map", "1", "-c", "copy", "-disposition:v", "attached_pic",
                                       covered});
        ASSERT_EQ(r.status, 0) << r.err;
        std::vector<unsigned char> out;
        ASSERT_TRUE(container_cover_bytes(covered, out));
        EXPECT_EQ(std::string(out.begin(), out.end()), tsup::read_file(file(c.pic)));
        ASSERT_TRUE(song_cover_bytes(covered, out));
        EXPECT_EQ(std::string(out.begin(), out.end()), tsup::read_file(file(c.pic)));
        EXPECT_FALSE(container_cover_bytes(plain, out));
    }
}

TEST_F(ContainerTags, SongTagsUseId3WheneverTheFileHasIt)
{
    // A FLAC file with an ID3v2 tag in front: only the ID3 reader runs, so the
    // FLAC comments' album is not taken even though ID3 has none.
    std::string flac = file("id3front.flac");
    tsup::make_tone(flac, 0.5, 440, kMeta);
    std::string v2 = tsup::id3_tag(tsup::id3_frame("TIT2", std::string("\0From ID3", 9)));
    tsup::write_file(flac, v2 + tsup::read_file(flac));
    Track a = fresh(flac);
    read_song_tags(a);
    EXPECT_EQ(a.title, "From ID3");
    EXPECT_EQ(a.album, "");

    // An ID3v1 trailer alone also counts as an ID3 tag.
    std::string wav = file("v1tail.wav");
    tsup::make_tone(wav, 0.5, 440, kMeta);
    tsup::write_file(wav, tsup::read_file(wav) + tsup::id3v1_tag("V1", "", "", ""));
    Track b = fresh(wav);
    read_song_tags(b);
    EXPECT_EQ(b.title, "V1");
    EXPECT_EQ(b.artist, "");

    // No ID3 at all: the container's tags.
    std::string ogg = file("plain_tags.ogg");
    tsup::make_tone(ogg, 0.5, 440, kMeta);
    Track c = fresh(ogg);
    read_song_tags(c);
    EXPECT_EQ(c.title, "Night Song");
    EXPECT_EQ(c.track_num, 3);
}

TEST_F(ContainerTags, TrackFromFileFillsTitleTagsAndDuration)
{
    std::string tagged = file("Some File.flac");
    tsup::make_tone(tagged, 2.51, 440, kMeta);
    Track t = track_from_file(tagged);
    EXPECT_EQ(t.path, tagged);
    EXPECT_EQ(t.title, "Night Song");
    EXPECT_EQ(t.year, 2019);
    EXPECT_EQ(t.duration, 3u);
    EXPECT_EQ(t.plays, 0u);
    EXPECT_FALSE(t.fav);

    std::string untagged = file("My Song.v2.wav");
    tsup::make_tone(untagged, 1.2);
    Track u = track_from_file(untagged);
    EXPECT_EQ(u.title, "My Song.v2");
    EXPECT_EQ(u.artist, "");
    EXPECT_EQ(u.duration, 1u);

    Track gone = track_from_file(file("gone.mp3"));
    EXPECT_EQ(gone.title, "gone");
    EXPECT_EQ(gone.duration, 0u);
}

}  // namespace
