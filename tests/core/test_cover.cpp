// Cover pictures: which APIC frame wins, how its payload is cut out, the
// folder image fallback, and the order song_cover_bytes tries them in.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "core/tags.h"
#include "support/support.h"
#include "support/tags_support.h"

namespace {

using tsup::apic_payload_bytes;
using tsup::fake_jpeg;
using tsup::fake_png;
using tsup::id3_frame;
using tsup::id3_tag;

std::string as_string(const std::vector<unsigned char>& v)
{
    return std::string(v.begin(), v.end());
}

std::string apic(int type, const std::string& data, int version = 3)
{
    return id3_frame("APIC", apic_payload_bytes(0, "image/jpeg", type, std::string("desc\0", 5), data), version);
}

TEST(Cover, ChoosesTheFrontCoverOrTheFirstPicture)
{
    const std::string a = fake_jpeg("first"), b = fake_png("second"), big = fake_jpeg(std::string(300, 'b'));
    struct Case {
        const char* name;
        std::string file;
        bool found;
        std::string want;
    } cases[] = {
        {"type 0 then front cover", id3_tag(apic(0, a) + apic(3, b)), true, b},
        {"two of type 0", id3_tag(apic(0, a) + apic(0, b)), true, a},
        {"front cover first stops the walk", id3_tag(apic(3, a) + apic(3, b)), true, a},
        {"after text frames", id3_tag(id3_frame("TIT2", std::string("\0T", 2)) + apic(4, a)), true, a},
        {"v2.4 sync-safe size", id3_tag(apic(3, big, 4), 4), true, big},
        {"v2.3 big-endian size", id3_tag(apic(3, big, 3), 3), true, big},
        {"zero-size frame ends the walk", id3_tag(id3_frame("TXXX", "") + apic(3, a)), false, ""},
        {"frame past the tag end", id3_tag(apic(3, a), 3, 20) + std::string(100, 'x'), false, ""},
        {"no picture", id3_tag(id3_frame("TIT2", std::string("\0T", 2))), false, ""},
        {"tag of ten bytes", id3_tag(std::string(10, 'T')), false, ""},
        {"not an image", id3_tag(apic(3, "GIF89a-not-looked-for")), false, ""},
        {"no tag", fake_jpeg("loose") + std::string(200, 'x'), false, ""},
    };
    tsup::TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tsup::write_file(dir / "s.mp3", c.file);
        std::vector<unsigned char> out{1, 2, 3};
        EXPECT_EQ(apic_bytes(dir / "s.mp3", out), c.found);
        EXPECT_EQ(as_string(out), c.want);
    }
}

TEST(Cover, PayloadIsCutAfterTheDescription)
{
    const std::string img = fake_jpeg("pic");
    struct Case {
        const char* name;
        std::string payload;
        bool ok;
        int type;
        std::string want;
    } cases[] = {
        {"latin-1 description", apic_payload_bytes(0, "image/jpeg", 3, std::string("d\0", 2), img), true, 3, img},
        {"utf-16 description",
         apic_payload_bytes(1, "image/png", 0, std::string("\xFF\xFE" "d\0\0\0", 6), fake_png("p")), true, 0,
         fake_png("p")},
        // A UTF-16 description without its zero pair: the signature search
        // still finds the picture.
        {"unterminated description", apic_payload_bytes(1, "image/jpeg", 3, "abc", img), true, 3, img},
        {"no description terminator, image inside",
         apic_payload_bytes(0, "image/jpeg", 6, "descr", img), true, 6, img},
        {"three bytes", std::string("\0ab", 3), false, -1, ""},
        {"mime without terminator", std::string("\0image/jpeg", 11), false, -1, ""},
        {"no picture-type byte", std::string("\0image/jpeg\0", 12), false, -1, ""},
        {"no image anywhere", apic_payload_bytes(0, "x", 3, std::string("d\0", 2), "GIF89a"), false, 3, ""},
        {"image shorter than four bytes", apic_payload_bytes(0, "x", 3, std::string("d\0", 2), "\xFF\xD8"), false,
         3, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<unsigned char> out;
        int type = -1;
        auto* p = reinterpret_cast<const unsigned char*>(c.payload.data());
        EXPECT_EQ(apic_payload(p, c.payload.size(), out, type), c.ok);
        if (c.ok) {
            EXPECT_EQ(as_string(out), c.want);
        }
        EXPECT_EQ(type, c.type);
    }
}

TEST(Cover, SkipDescriptionAndSmallHelpers)
{
    auto u = [](const char* s) { return reinterpret_cast<const unsigned char*>(s); };
    EXPECT_EQ(skip_desc(u("ab\0cd"), 5, 0, 0), 3u);
    EXPECT_EQ(skip_desc(u("ab\0cd"), 5, 0, 3), 3u);
    EXPECT_EQ(skip_desc(u("abcde"), 5, 0, 0), 5u);
    EXPECT_EQ(skip_desc(u("a\0b\0\0\0c"), 7, 0, 1), 6u);  // zero pair at an even step
    EXPECT_EQ(skip_desc(u("a\0\0b\0c"), 6, 0, 2), 6u);    // zeros at an odd step do not count
    EXPECT_EQ(skip_desc(u("abc"), 3, 7, 0), 3u);          // never past the end
    EXPECT_EQ(apic_syncsafe(u("\x7F\x7F\x7F\x7F")), 0x0FFFFFFFu);
    EXPECT_EQ(apic_syncsafe(u("\x00\x00\x01\x7F")), 255u);
    EXPECT_EQ(apic_frame_sz(u("\x00\x00\x01\x7F"), 4), 255u);
    EXPECT_EQ(apic_frame_sz(u("\x00\x00\x01\x7F"), 3), 383u);
    EXPECT_TRUE(looks_img(u("\xFF\xD8\x00\x00"), 4));
    EXPECT_TRUE(looks_img(u("\x89PNG"), 4));
    EXPECT_FALSE(looks_img(u("\xFF\xD8\x00"), 3));
    EXPECT_FALSE(looks_img(u("GIF8"), 4));
}

TEST(Cover, FolderImageByNameAndSize)
{
    tsup::TempDir dir;
    std::string song = dir / "album/song.mp3";
    tsup::write_file(song, "x");
    std::vector<unsigned char> out;
    EXPECT_FALSE(folder_cover_bytes(song, out));

    // Too big, too small, or not a file: each skipped for the next name.
    tsup::write_file(dir / "album/cover.jpg", std::string(9 * 1024 * 1024, 'c'));
    tsup::write_file(dir / "album/folder.jpg", "tiny");
    ::mkdir((dir / "album/Folder.jpg").c_str(), 0755);
    tsup::write_file(dir / "album/Cover.jpg", "Cover.jpg bytes");
    tsup::write_file(dir / "album/folder.png", "folder.png bytes");
    ASSERT_TRUE(folder_cover_bytes(song, out));
    EXPECT_EQ(as_string(out), "Cover.jpg bytes");

    // Sizes at the limits are accepted.
    tsup::write_file(dir / "album/cover.jpg", std::string(8 * 1024 * 1024, 'c'));
    ASSERT_TRUE(folder_cover_bytes(song, out));
    EXPECT_EQ(out.size(), 8u * 1024 * 1024);
    tsup::write_file(dir / "album/folder.jpg", "8 bytes!");
    ASSERT_TRUE(folder_cover_bytes(song, out));
    EXPECT_EQ(as_string(out), "8 bytes!");
}

TEST(Cover, SongCoverPrefersEmbeddedThenFolder)
{
    tsup::TempDir dir;
    tsup::write_file(dir / "cover.png", "folder picture");
    std::vector<unsigned char> out;

    tsup::write_file(dir / "tagged.mp3", id3_tag(apic(3, fake_jpeg("embedded"))) + std::string(100, 'x'));
    ASSERT_TRUE(song_cover_bytes(dir / "tagged.mp3", out));
    EXPECT_EQ(as_string(out), fake_jpeg("embedded"));

    tsup::write_file(dir / "plain.mp3", id3_tag(id3_frame("TIT2", std::string("\0T", 2))));
    ASSERT_TRUE(song_cover_bytes(dir / "plain.mp3", out));
    EXPECT_EQ(as_string(out), "folder picture");

    tsup::TempDir bare;
    tsup::write_file(bare / "plain.mp3", "no tags, no picture");
    EXPECT_FALSE(song_cover_bytes(bare / "plain.mp3", out));
    EXPECT_TRUE(out.empty());
}

}  // namespace
