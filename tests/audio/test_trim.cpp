#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "audio/trim.h"
#include "core/library.h"
#include "support/cut_support.h"
#include "support/points_support.h"
#include "support/support.h"

using tsup::TempDir;

namespace {

TEST(TrimFormat, ByExtension)
{
    struct Case {
        const char* path;
        const char* container;
        const char* codec;
        bool cover;
    };
    const Case cases[] = {
        {"/M/Song.MP3", "mp3", "libmp3lame", true}, {"x.m4a", "ipod", "aac", true},
        {"x.aac", "adts", "aac", false},            {"/a.b/x.FLAC", "flac", "flac", true},
        {"x.ogg", "ogg", "libvorbis", false},       {"x.opus", "opus", "libopus", false},
        {"x.wma", "asf", "wmav2", false},           {"x.wav", "wav", "pcm_s16le", false},
        {"x.aiff", "wav", "pcm_s16le", false},      {"/M.mp3/noext", "wav", "pcm_s16le", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        TrimFormat f = io_trim_format(c.path);
        EXPECT_EQ(f.container, c.container);
        ASSERT_GE(f.codec.size(), 2u);
        EXPECT_EQ(f.codec[0], "-c:a");
        EXPECT_EQ(f.codec[1], c.codec);
        EXPECT_EQ(f.cover, c.cover);
    }
}

TEST(TrimArgs, WorkedExampleAndFadeVariants)
{
    EXPECT_EQ(io_trim_args("/usr/bin/ffmpeg", "/M/a.mp3", "/M/out.part", 12.5, 200, 0.01, 0.01, ""),
              (std::vector<std::string>{"/usr/bin/ffmpeg", "-nostdin", "-y", "-v", "error", "-ss", "12.500", "-i",
                                        "/M/a.mp3", "-t", "187.500", "-map", "0:a:0", "-map_metadata", "0", "-map",
                                        "0:v?", "-c:v", "copy", "-af",
                                        "afade=t=in:st=0:d=0.010:curve=hsin,afade=t=out:st=187.490:d=0.010:curve=hsin",
                                        "-c:a", "libmp3lame", "-q:a", "0", "-f", "mp3", "/M/out.part"}));

    std::vector<std::string> only_out = io_trim_args("ff", "a.wav", "b", 0, 10, 0, 1.5, "New \"Title\"");
    EXPECT_EQ(only_out, (std::vector<std::string>{"ff", "-nostdin", "-y", "-v", "error", "-ss", "0.000", "-i", "a.wav",
                                                  "-t", "10.000", "-map", "0:a:0", "-map_metadata", "0", "-af",
                                                  "afade=t=out:st=8.500:d=1.500:curve=hsin", "-c:a", "pcm_s16le",
                                                  "-metadata", "title=New \"Title\"", "-f", "wav", "b"}));

    std::vector<std::string> none = io_trim_args("ff", "a.flac", "b", 1, 2, 0, 0, "");
    EXPECT_EQ(std::find(none.begin(), none.end(), "-af"), none.end());
}

TEST(FfmpegPath, SearchOrder)
{
    TempDir d;
    tsup::write_script(d / "exec/ffmpeg", "exit 0");
    tsup::write_file(d / "plain/ffmpeg", "not executable");
    ::mkdir((d / "dir").c_str(), 0755);
    ::mkdir((d / "dir/ffmpeg").c_str(), 0755);  // a folder is not a program
    bool local = ::access("/usr/local/bin/ffmpeg", X_OK) == 0;
    EXPECT_EQ(io_ffmpeg_find(":" + (d / "plain") + "::" + (d / "dir") + ":" + (d / "exec") + ":"), d / "exec/ffmpeg");
    EXPECT_EQ(io_ffmpeg_find(d / "plain"), local ? "/usr/local/bin/ffmpeg" : "");
    EXPECT_EQ(io_ffmpeg_find(""), local ? "/usr/local/bin/ffmpeg" : "");
}

TEST(RunArgv, ExitStatuses)
{
    EXPECT_TRUE(io_run_argv({"/bin/true"}));
    EXPECT_FALSE(io_run_argv({"/bin/false"}));
    EXPECT_FALSE(io_run_argv({}));
    EXPECT_FALSE(io_run_argv({"/nonexistent/program"}));
    EXPECT_FALSE(io_run_argv({"true"}));  // no PATH lookup: the first element is a full path
    EXPECT_FALSE(io_run_argv({"/bin/sh", "-c", "kill -9 $$"}));
    // Arguments reach the program untouched, with no shell in between.
    TempDir d;
    EXPECT_TRUE(io_run_argv({"/bin/sh", "-c", "printf '%s' \"$1\" > \"$2\"", "sh", "a b;$(x)'\"", d / "out"}));
    EXPECT_EQ(tsup::read_file(d / "out"), "a b;$(x)'\"");
}

TEST(TrimFile, RefusesEmptyRangeWithoutRunning)
{
    TempDir d;
    tsup::make_tone(d / "a.wav", 1);
    EXPECT_FALSE(io_trim_file(d / "a.wav", d / "b.wav", 0.5, 0.5, 0, 0, ""));
    EXPECT_FALSE(io_trim_file(d / "a.wav", d / "b.wav", 0.8, 0.2, 0, 0, ""));
    EXPECT_FALSE(tsup::exists(d / "b.wav"));
    EXPECT_FALSE(io_trim_file(d / "missing.wav", d / "c.wav", 0, 1, 0, 0, ""));
}

// Real cuts of generated songs in the formats people keep.
struct CutCase {
    const char* ext;
    bool tags;
    bool cover;
};

class TrimReal : public ::testing::TestWithParam<CutCase> {};

TEST_P(TrimReal, LengthFadesTagsAndCover)
{
    const CutCase& c = GetParam();
    TempDir d;
    std::string src = d / (std::string("song") + c.ext);
    std::vector<std::string> extra;
    if (c.cover) {
        std::string png = tsup::make_cover_png(d.path());
        extra = {"-i", png, "-map", "0:a", "-map", "1:v", "-c:v", "png", "-disposition:v", "attached_pic"};
    }
    if (c.tags) extra.insert(extra.end(), {"-metadata", "title=Old", "-metadata", "artist=Band"});
    tsup::make_tone(src, 6, 440, extra);
    if (c.cover) {
        ASSERT_TRUE(tsup::has_cover(src));
    }

    std::string dst = d / (std::string("cut") + c.ext + ".part");  // the container comes from -f, not the name
    ASSERT_TRUE(io_trim_file(src, dst, 1.0, 4.0, 0.5, 0.5, "New"));
    std::vector<float> s = tsup::decode_mono(dst);
    EXPECT_NEAR(s.size() / 8000.0, 3.0, 0.08);
    double mid = tsup::rms(s, 1.2, 1.8);
    EXPECT_GT(mid, 0.05);  // lavfi sine: amplitude 1/8
    EXPECT_LT(tsup::rms(s, 0.0, 0.06), mid * 0.3);     // fading in
    EXPECT_LT(tsup::rms(s, 2.92, 3.0), mid * 0.3);     // fading out
    EXPECT_GT(tsup::rms(s, 0.45, 0.55), mid * 0.8);    // fade-in over after 0.5 s
    if (c.tags) {
        EXPECT_EQ(tsup::probe_tag(dst, "title"), "New");
        EXPECT_EQ(tsup::probe_tag(dst, "artist"), "Band");
    }
    EXPECT_EQ(tsup::has_cover(dst), c.cover);
}

INSTANTIATE_TEST_SUITE_P(Formats, TrimReal,
                         ::testing::Values(CutCase{".mp3", true, true}, CutCase{".m4a", true, true},
                                           CutCase{".flac", true, true}, CutCase{".wav", false, false}),
                         [](const auto& info) { return std::string(info.param.ext + 1); });

TEST(SweepParts, LeftoversGoToTheTrash)
{
    tsup::StateHome h;
    Library lib;
    Track t;
    t.path = h.dir / "M/a.mp3";
    lib.tracks = {t};
    tsup::write_file(t.path, "song");
    tsup::write_file(t.path + ".lumora-trim.part", "half cut");
    tsup::write_file(t.path + ".lumora-restore.part", "half copy");
    io_sweep_parts(lib);
    EXPECT_TRUE(tsup::exists(t.path));
    EXPECT_FALSE(tsup::exists(t.path + ".lumora-trim.part"));
    EXPECT_FALSE(tsup::exists(t.path + ".lumora-restore.part"));
    EXPECT_EQ(tsup::read_file(h.dir / ".local/share/Trash/files/a.mp3.lumora-trim.part"), "half cut");
}

}  // namespace
