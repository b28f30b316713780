// The ID3 reader: text frames of both size conventions, encodings, track
// numbers, the ID3v1 trailer and which of the two is consulted.
#include <gtest/gtest.h>

#include "core/tags.h"
#include "support/support.h"
#include "support/tags_support.h"

namespace {

using tsup::id3_frame;
using tsup::id3_tag;

// A text frame payload: encoding byte, then the bytes as given.
std::string text(const std::string& bytes, int enc = 0)
{
    return std::string(1, static_cast<char>(enc)) + bytes;
}

std::string bytes(std::initializer_list<int> b)
{
    std::string s;
    for (int c : b) s += static_cast<char>(c);
    return s;
}

const std::string kAudio(600, '\x55');  // stands in for the audio frames

struct Want {
    std::string title = "stem", artist = "keep", album = "", genre = "";
    int32_t track_num = 5, year = 0;
};

struct Case {
    const char* name;
    std::string file;
    bool v2, any;  // read_id3v2 result, read_id3_tags result
    Want want;
};

Track start_track(const std::string& path)
{
    Track t;
    t.path = path;
    t.title = "stem";
    t.artist = "keep";
    t.track_num = 5;
    return t;
}

std::vector<Case> cases()
{
    std::string long_title(200, 'L');
    std::string v1 = tsup::id3v1_tag("V1 Title", "V1 Artist", "V1 Album", "1999");
    return {
        {"all text frames v2.3",
         id3_tag(id3_frame("TIT2", text("Song")) + id3_frame("TPE1", text("Band")) +
                 id3_frame("TALB", text("Record")) + id3_frame("TCON", text("Rock")) +
                 id3_frame("TRCK", text("3"))) + kAudio,
         true, true, {"Song", "Band", "Record", "Rock", 3, 0}},
        {"v2.4 frame sizes are sync-safe",
         id3_tag(id3_frame("TIT2", text(long_title), 4) + id3_frame("TPE1", text("After"), 4), 4) + kAudio,
         true, true, {long_title, "After", "", "", 5, 0}},
        {"v2.3 frame sizes are plain big-endian",
         id3_tag(id3_frame("TIT2", text(long_title), 3) + id3_frame("TPE1", text("After"), 3), 3) + kAudio,
         true, true, {long_title, "After", "", "", 5, 0}},
        {"v2 header without text frames hides the v1 tag",
         id3_tag(id3_frame("TXXX", text("x"))) + kAudio + v1, true, true, {}},
        {"v1 alone", kAudio + v1, false, true, {"V1 Title", "V1 Artist", "V1 Album", "", 5, 1999}},
        {"neither", kAudio, false, false, {}},
        {"track 7/12", id3_tag(id3_frame("TRCK", text("7/12"))), true, true, {"stem", "keep", "", "", 7, 0}},
        {"track /12 keeps", id3_tag(id3_frame("TRCK", text("/12"))), true, true, {}},
        {"track A7 keeps", id3_tag(id3_frame("TRCK", text("A7"))), true, true, {}},
        {"latin-1 byte stays one byte", id3_tag(id3_frame("TIT2", text("Caf\xE9"))), true, true,
         {"Caf\xE9", "keep"}},
        {"utf-16 little-endian mark",
         id3_tag(id3_frame("TIT2", text(bytes({0xFF, 0xFE, 0x41, 0, 0x42, 0, 0, 0}), 1))), true, true,
         {"AB", "keep"}},
        {"utf-16 big-endian mark", id3_tag(id3_frame("TIT2", text(bytes({0xFE, 0xFF, 0, 0x41}), 1))), true,
         true, {"A", "keep"}},
        {"utf-16 without mark is little-endian", id3_tag(id3_frame("TIT2", text(bytes({0xE9, 0, 0x41, 0}), 1))),
         true, true, {"\xC3\xA9" "A", "keep"}},
        {"encoding 2 without mark is big-endian",
         id3_tag(id3_frame("TIT2", text(bytes({0x00, 0x48, 0x20, 0xAC}), 2))), true, true,
         {"H\xE2\x82\xAC", "keep"}},
        {"surrogate pair becomes one character",
         id3_tag(id3_frame("TIT2", text(bytes({0xFF, 0xFE, 0x3C, 0xD8, 0xB5, 0xDF}), 1))), true, true,
         {"\xF0\x9F\x8E\xB5", "keep"}},
        {"utf-8 loses trailing zeros", id3_tag(id3_frame("TALB", text(std::string("\xC3\xA9t\xC3\xA9\0\0", 7), 3))),
         true, true, {"stem", "keep", "\xC3\xA9t\xC3\xA9"}},
        {"empty frame still replaces",
         id3_tag(id3_frame("TIT2", text("")) + id3_frame("TPE1", "")), true, true, {"", ""}},
        {"later frame of the same id wins",
         id3_tag(id3_frame("TIT2", text("One")) + id3_frame("TIT2", text("Two"))), true, true, {"Two", "keep"}},
        {"padding ends the frames",
         id3_tag(id3_frame("TIT2", text("One")) + std::string(20, '\0') + id3_frame("TPE1", text("Hidden"))),
         true, true, {"One", "keep"}},
        {"frame past the tag end stops the walk",
         id3_tag(id3_frame("TIT2", text("One")) + "TPE1" + tsup::id3_size(5000, false) + std::string(2, '\0') +
                 text("Cut") + std::string(40, 'z')),
         true, true, {"One", "keep"}},
        {"tag smaller than a frame",
         id3_tag("TIT2" + std::string(6, '\0'), 3) + kAudio, true, true, {}},
        {"declared size beyond the file end",
         id3_tag(id3_frame("TIT2", text("Short")), 3, 100000), true, true, {"Short", "keep"}},
        {"header only", std::string("ID3\x03\0\0\0\0\0\0", 10), true, true, {}},
        {"cut inside the header", std::string("ID3\x03\0", 5), false, false, {}},
        {"v2.2 three-character ids are not read",
         std::string("ID3\x02\0\0", 6) + tsup::id3_size(20, true) + "TT2" + bytes({0, 0, 5}) + text("Song") +
             std::string(7, '\0'),
         true, true, {}},
    };
}

TEST(TagsId3, TextFramesAndFallbacks)
{
    tsup::TempDir dir;
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.name);
        std::string path = dir / "song.mp3";
        tsup::write_file(path, c.file);
        Track v2 = start_track(path);
        EXPECT_EQ(read_id3v2(path, v2), c.v2);
        Track t = start_track(path);
        EXPECT_EQ(read_id3_tags(t), c.any);
        EXPECT_EQ(t.title, c.want.title);
        EXPECT_EQ(t.artist, c.want.artist);
        EXPECT_EQ(t.album, c.want.album);
        EXPECT_EQ(t.genre, c.want.genre);
        EXPECT_EQ(t.track_num, c.want.track_num);
        EXPECT_EQ(t.year, c.want.year);
    }
}

TEST(TagsId3, Version1Fields)
{
    tsup::TempDir dir;
    std::string path = dir / "v1.mp3";
    struct V1Case {
        const char* name;
        std::string title, artist, album, year;
        Want want;
    } v1cases[] = {
        {"blank and zero padding trimmed", "Song    ", "Art", "Alb", "2004", {"Song", "Art", "Alb", "", 5, 2004}},
        {"all-blank artist keeps", "Song", std::string(30, ' '), "", "", {"Song", "keep", "", "", 5, 0}},
        {"zero inside a field is kept", std::string("A\0B", 3), "", "", "", {std::string("A\0B", 3), "keep"}},
        {"year without digits ignored", "", "", "", "abcd", {}},
        {"year read up to the first non-digit", "", "", "", "19x9", {"stem", "keep", "", "", 5, 19}},
    };
    for (const V1Case& c : v1cases) {
        SCOPED_TRACE(c.name);
        std::string tag = tsup::id3v1_tag(c.title, c.artist, c.album, c.year);
        // Fill the title field's tail with blanks and zeros mixed, as old taggers did.
        if (c.title == "Song    ") tag.replace(11, 4, std::string("\0 \0 ", 4));
        tsup::write_file(path, kAudio + tag);
        Track t = start_track(path);
        EXPECT_TRUE(read_id3v1(path, t));
        EXPECT_EQ(t.title, c.want.title);
        EXPECT_EQ(t.artist, c.want.artist);
        EXPECT_EQ(t.album, c.want.album);
        EXPECT_EQ(t.year, c.want.year);
    }
    // Too short to hold a trailer, or a trailer without its marker.
    for (const std::string& bad : {std::string(), std::string("TAG") + std::string(100, 'x'),
                                   kAudio + "TAX" + std::string(125, 'x')}) {
        tsup::write_file(path, bad);
        Track t = start_track(path);
        EXPECT_FALSE(read_id3v1(path, t));
        EXPECT_EQ(t.title, "stem");
    }
    Track t = start_track(dir / "missing.mp3");
    EXPECT_FALSE(read_id3_tags(t));
}

TEST(TagsId3, Utf16Conversion)
{
    struct U {
        std::string in, out;
    } us[] = {
        {"", ""},
        {bytes({0x41}), ""},
        {bytes({0xFF, 0xFE}), ""},
        {bytes({0x41, 0x00, 0x42}), "A"},                                 // odd trailing byte dropped
        {bytes({0xFE, 0xFF, 0x00, 0x41, 0x00, 0x00, 0x00, 0x42}), "A"},   // stops at a zero unit
        {bytes({0xFF, 0xFE, 0xAC, 0x20}), "\xE2\x82\xAC"},                 // three-byte character
        {bytes({0xFF, 0xFE, 0xE9, 0x00}), "\xC3\xA9"},                     // two-byte character
        {bytes({0xFF, 0xFE, 0x3D, 0xD8, 0x41, 0x00}), "\xED\xA0\xBD" "A"}, // lone high surrogate
    };
    for (const U& u : us) {
        EXPECT_EQ(utf16_to_utf8(reinterpret_cast<const unsigned char*>(u.in.data()), u.in.size()), u.out);
    }
}

}  // namespace
