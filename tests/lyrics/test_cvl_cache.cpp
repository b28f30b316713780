#include <gtest/gtest.h>
#include <openssl/sha.h>
#include <sys/stat.h>
#include <utime.h>

#include <cstring>

#include "lyrics/cvl_cache.h"
#include "lyrics/lrc.h"
#include "support/support.h"

namespace {

std::string be64(uint64_t v)
{
    std::string s(8, '\0');
    for (int i = 0; i < 8; ++i) s[i] = static_cast<char>(v >> (56 - 8 * i));
    return s;
}

// The fingerprint recomputed independently from its definition.
std::string expected_fingerprint(const std::string& path, const std::string& name,
                                 const std::string& bytes)
{
    struct stat st;
    EXPECT_EQ(::stat(path.c_str(), &st), 0);
    double mt = double(st.st_mtim.tv_sec) + double(st.st_mtim.tv_nsec) * 0.000000001;
    uint64_t bits;
    std::memcpy(&bits, &mt, 8);
    std::string msg = name + be64(bytes.size()) + be64(bits);
    const size_t piece = 262144;
    msg += bytes.substr(0, piece);
    if (bytes.size() > piece) msg += bytes.substr(bytes.size() - piece);
    unsigned char md[32];
    SHA256(reinterpret_cast<const unsigned char*>(msg.data()), msg.size(), md);
    char hex[65];
    for (int i = 0; i < 32; ++i) std::snprintf(hex + 2 * i, 3, "%02x", md[i]);
    return hex;
}

TEST(CvlFingerprint, HashesNameSizeTimeHeadAndTail)
{
    tsup::TempDir d;
    // Sizes below, between and above the two 256 KiB pieces.
    for (size_t size : {size_t(10), size_t(300000), size_t(600000)}) {
        std::string bytes(size, '\0');
        for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 131 + size) & 0xff);
        std::string path = d / ("song" + std::to_string(size) + ".mp3");
        tsup::write_file(path, bytes);
        std::string fp = cvl_fingerprint(path);
        EXPECT_EQ(fp.size(), 64u);
        EXPECT_EQ(fp, expected_fingerprint(path, "song" + std::to_string(size) + ".mp3", bytes))
            << size;
    }
    EXPECT_EQ(cvl_fingerprint(d / "missing.mp3"), "");
    EXPECT_EQ(cvl_fingerprint(d.path()), "");  // a folder is not a song file
}

TEST(CvlFingerprint, ChangesWithRenameAndTouch)
{
    tsup::TempDir d;
    tsup::write_file(d / "a.mp3", "same bytes");
    std::string a = cvl_fingerprint(d / "a.mp3");
    ASSERT_EQ(::rename((d / "a.mp3").c_str(), (d / "b.mp3").c_str()), 0);
    std::string b = cvl_fingerprint(d / "b.mp3");
    EXPECT_NE(a, b);
    struct utimbuf tb{1000000, 1000000};
    ASSERT_EQ(::utime((d / "b.mp3").c_str(), &tb), 0);
    EXPECT_NE(cvl_fingerprint(d / "b.mp3"), b);
}

TEST(ParseCvlJson, ReadsObjectsInAnyKeyOrder)
{
    std::vector<LrcLine> lines;
    std::string json = R"({"id":1,"lines":[ {"startTime": 12.5, "text":"second"},
        {"text": "first", "startTime":1}, {"startTime":3,"text":"cut \"here\" x"},
        {"startTime":"oops","text":"not a number"}, {"startTime":4}, {"startTime":5,"text":""},
        {"text":"no time"} ]})";
    ASSERT_TRUE(parse_cvl_json(json, lines));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_FLOAT_EQ(lines[0].t, 12.5f);
    EXPECT_EQ(lines[0].text, "second");
    EXPECT_EQ(lines[1].text, "first");
    EXPECT_EQ(lines[2].text, "cut \\");  // an escaped quote ends the text
}

TEST(ParseCvlJson, BrokenInputFailsQuietly)
{
    const char* bad[] = {
        "", "{}", R"({"x":[{"startTime":1,"text":"a"}]})", R"({"lines": {"startTime":1})",
        R"({"lines": [ } {"startTime":1,"text":"a"}])", R"({"lines":[{"startTime":1,"text":"a)",
        R"({"lines":[{"startTime":nan,"text":"a"}]})", R"({"lines":[{"startTime":1e39,"text":"a"}]})", R"({"lines":[{"startTime":1,"text":)",
    };
    for (const char* j : bad) {
        std::vector<LrcLine> lines;
        EXPECT_FALSE(parse_cvl_json(j, lines)) << j;
        EXPECT_TRUE(lines.empty()) << j;
    }
}

TEST(CvlCache, LoadsBeforeTheLrcFileAndSorts)
{
    tsup::TempDir home;
    tsup::ScopedEnv h("HOME", home.path());
    tsup::ScopedEnv x("XDG_DATA_HOME", home / "data");
    std::string song = home / "music/Song.mp3";
    tsup::write_file(song, "audio bytes");
    tsup::write_file(home / "music/Song.lrc", "[00:01.00]from lrc\n");
    std::string fp = cvl_fingerprint(song);
    tsup::write_file(home / ("data/Corvelle/SyncedLyrics/" + fp + ".json"),
                     R"({"lines":[{"startTime":9,"text":"late"},{"startTime":2,"text":"early"}]})");
    LrcState s;
    s.load(song);
    ASSERT_TRUE(s.loaded);
    ASSERT_EQ(s.lines.size(), 2u);
    EXPECT_EQ(s.lines[0].text, "early");
    EXPECT_EQ(s.lines[1].text, "late");
}

TEST(CvlCache, DirectoryFollowsXdgDataHome)
{
    {
        tsup::ScopedEnv x("XDG_DATA_HOME", "/x/data");
        EXPECT_EQ(cvl_cache_dir(), "/x/data/Corvelle/SyncedLyrics");
    }
    tsup::ScopedEnv h("HOME", "/home/u");
    {
        tsup::ScopedEnv x("XDG_DATA_HOME", std::nullopt);
        EXPECT_EQ(cvl_cache_dir(), "/home/u/.local/share/Corvelle/SyncedLyrics");
    }
    tsup::ScopedEnv x("XDG_DATA_HOME", "relative/ignored");
    EXPECT_EQ(cvl_cache_dir(), "/home/u/.local/share/Corvelle/SyncedLyrics");
    tsup::ScopedEnv h2("HOME", std::nullopt);
    EXPECT_EQ(cvl_cache_dir(), "");
}

}  // namespace
