#include <gtest/gtest.h>
#include <sys/stat.h>

#include <regex>
#include <thread>

#include "audio/phone_cut.h"
#include "core/file_names.h"
#include "support/cut_support.h"
#include "support/support.h"

using tsup::TempDir;

namespace {

TEST(PhoneCut, CacheFolderBesideMusicFolder)
{
    EXPECT_EQ(phone_cut_dir("/Users/me/Music"), "/Users/me/Lumora Music Phone Cuts");
    EXPECT_EQ(phone_cut_dir("/Users/me/Music/"), "/Users/me/Lumora Music Phone Cuts");
    EXPECT_EQ(phone_cut_dir("/Music"), "/Lumora Music Phone Cuts");
    tsup::ScopedEnv home("HOME", "/home/x");
    EXPECT_EQ(phone_cut_dir(""), "/home/x/Lumora Music Phone Cuts");
}

TEST(PhoneCut, RequestFromPoints)
{
    IoStore points;
    points["/out-only"] = {-1, 90};
    points["/in-only"] = {30, -1};
    points["/both"] = {10, 20};
    points["/unset"] = {-1, 0};
    points["/inverted"] = {50, 40};
    struct Case {
        const char* path;
        double duration;
        float in, out;
        bool cut;
    };
    const Case cases[] = {
        {"/out-only", 0, 0, 90, true},    {"/in-only", 0, 30, 0, false},   {"/in-only", 200, 30, 200, true},
        {"/both", 300, 10, 20, true},     {"/unset", 300, 0, 0, false},    {"/none", 300, 0, 0, false},
        {"/inverted", 300, 50, 40, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.path) + " " + std::to_string(c.duration));
        PhoneCut p = phone_cut_for(points, c.path, c.duration, 300, 1500, "/cache");
        EXPECT_EQ(p.src, c.path);
        EXPECT_FLOAT_EQ(p.in, c.in);
        EXPECT_FLOAT_EQ(p.out, c.out);
        EXPECT_EQ(p.dir, c.cut ? "/cache" : "");
        EXPECT_EQ(p.fade_in_ms, c.cut ? 300 : 0);
        EXPECT_EQ(p.fade_out_ms, c.cut ? 1500 : 0);
    }
}

TEST(PhoneCut, KeyText)
{
    PhoneCut c{"/m/a.mp3", 1.5f, 90, 300, 1500, "/c"};
    EXPECT_EQ(phone_cut_key(c, 12345, 1700000000123456789LL), "/m/a.mp3#12345#1700000000123456789#1.500#90.000#300#1500");
}

TEST(PhoneCut, UncutAndUnreadable)
{
    PhoneCut none{"/m/a.mp3", 0, 0, 0, 0, ""};
    EXPECT_EQ(phone_cut_file(none), "/m/a.mp3");
    PhoneCut missing{"/no/such.mp3", 0, 5, 0, 0, "/tmp/never"};
    EXPECT_EQ(phone_cut_file(missing), "");
}

TEST(PhoneCut, CutOnceThenReuse)
{
    TempDir d;
    std::string src = d / "Music/song.flac";
    tsup::make_tone(src, 4);
    std::string cache = d / "cache";
    PhoneCut c{src, 1, 3, 300, 500, cache};

    std::string cut = phone_cut_file(c);
    ASSERT_FALSE(cut.empty());
    std::string folder = cut.substr(0, cut.rfind('/'));
    EXPECT_TRUE(std::regex_match(cut, std::regex(cache + "/[0-9a-f]{16}/song\\.flac")));
    EXPECT_EQ(tsup::read_file(folder + "/done"), src + "\n");
    EXPECT_FALSE(tsup::exists(cut + ".part"));
    EXPECT_NEAR(tsup::probe_seconds(cut), 2.0, 0.05);

    // A second request finds `done` and does not run ffmpeg again: the marker
    // put into the cut survives.
    tsup::write_file(cut, "REUSED");
    EXPECT_EQ(phone_cut_file(c), cut);
    EXPECT_EQ(tsup::read_file(cut), "REUSED");

    // Other fades are another cut.
    PhoneCut longer = c;
    longer.fade_out_ms = 800;
    std::string other = phone_cut_file(longer);
    ASSERT_FALSE(other.empty());
    EXPECT_NE(other, cut);

    // A cut whose file was deleted by hand is made again.
    std::remove(cut.c_str());
    EXPECT_EQ(phone_cut_file(c), cut);
    EXPECT_NEAR(tsup::probe_seconds(cut), 2.0, 0.05);
    tsup::write_file(cut, "REUSED");

    // A folder without `done` (an interrupted run) is cut again.
    std::remove((folder + "/done").c_str());
    EXPECT_EQ(phone_cut_file(c), cut);
    EXPECT_NE(tsup::read_file(cut), "REUSED");
}

TEST(PhoneCut, ParallelRequestsShareOneCut)
{
    TempDir d;
    std::string src = d / "song.wav";
    tsup::make_tone(src, 2);
    PhoneCut c{src, 0.5f, 1.5f, 100, 100, d / "cache"};
    std::string results[3];
    std::thread ts[3];
    for (int i = 0; i < 3; ++i) ts[i] = std::thread([&, i] { results[i] = phone_cut_file(c); });
    for (std::thread& t : ts) t.join();
    ASSERT_FALSE(results[0].empty());
    EXPECT_EQ(results[1], results[0]);
    EXPECT_EQ(results[2], results[0]);
    EXPECT_NEAR(tsup::probe_seconds(results[0]), 1.0, 0.02);
}

TEST(PhoneStage, LinksIntoDatedFolder)
{
    TempDir d;
    tsup::write_file(d / "a.mp3", "A");
    tsup::write_file(d / "sub/b.mp3", "B");
    std::string folder = phone_stage_folder({d / "a.mp3", d / "sub/b.mp3", d / "missing.mp3"}, d / "base");
    ASSERT_TRUE(std::regex_match(folder, std::regex(d / "base/AirDrop/\\d{4}/\\d\\d/\\d\\d/\\d{6}/"
                                                         "Lumora Music \\d{4}-\\d\\d-\\d\\d \\d{4}")))
        << folder;
    struct stat st {};
    ASSERT_EQ(::stat((folder + "/a.mp3").c_str(), &st), 0);
    EXPECT_EQ(st.st_nlink, 2u);  // a hard link, not a copy
    EXPECT_EQ(tsup::read_file(folder + "/b.mp3"), "B");
    EXPECT_FALSE(tsup::exists(folder + "/missing.mp3"));

    EXPECT_EQ(phone_stage_folder({d / "missing.mp3"}, d / "base"), "");
    tsup::write_file(d / "base-file", "x");
    EXPECT_EQ(phone_stage_folder({d / "a.mp3"}, d / "base-file"), "");  // cannot make the folder
}

}  // namespace
