#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "core/library.h"
#include "core/points.h"
#include "support/cut_support.h"
#include "support/support.h"

using tsup::RunResult;
using tsup::TempDir;

namespace {

// A music folder with two short songs in the catalog; Alpha has points.
struct Home {
    TempDir dir;
    std::string a = dir / "Music/alpha.wav", b = dir / "Music/beta.wav";
    std::string cache = dir / "Lumora Music Phone Cuts";
    Home()
    {
        tsup::make_tone(a, 3);
        tsup::make_tone(b, 2);
        Library lib;
        lib.catalog_path = dir / ".lumoramusic/library.toml";
        lib.scan_root = dir / "Music";
        Track ta, tb;
        ta.path = a;
        ta.title = "Alpha";
        ta.duration = 3;
        tb.path = b;
        tb.title = "Beta";
        tb.duration = 2;
        lib.tracks = {ta, tb};
        lib.save_catalog();
        IoStore points;
        points[a] = {0.5f, 2.5f};
        io_store_save(points, dir / ".lumoramusic/io_points.toml");
    }
    RunResult cli(const std::vector<std::string>& args, tsup::RunOptions o = {}) const
    {
        return tsup::run_cli(dir.path(), args, o);
    }
};

std::string record(const std::string& title, const std::string& full, const std::string& cut, const char* nums)
{
    return "[[song]]\ntitle = \"" + title + "\"\nfull = \"" + full + "\"\ncut = \"" + cut + "\"\n" + nums + "\n";
}

TEST(CliPhonecut, CutsSongsWithPointsAndReusesThem)
{
    Home h;
    RunResult r = h.cli({"phonecut", "alpha"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::smatch m;
    ASSERT_TRUE(std::regex_search(r.out, m, std::regex("cut = \"([^\"]+)\""))) << r.out;
    std::string cut = m[1];
    EXPECT_EQ(r.out, record("Alpha", h.a, cut, "in = 0.50\nout = 2.50\nfade_in_ms = 300\nfade_out_ms = 1500\n"));
    EXPECT_TRUE(std::regex_match(cut, std::regex(h.cache + "/[0-9a-f]{16}/alpha\\.wav")));
    EXPECT_NEAR(tsup::probe_seconds(cut), 2.0, 0.02);

    tsup::write_file(cut, "REUSED");
    r = h.cli({"phonecut", "alpha"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(tsup::read_file(cut), "REUSED");

    // Fades from the command line; a flag in the last place is ignored.
    r = h.cli({"phonecut", "alpha", "--fade-in", "0", "--fade-out"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("fade_in_ms = 0\nfade_out_ms = 1500\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find(cut), std::string::npos);  // other fades: another cut
}

TEST(CliPhonecut, SongWithoutPointsIsNoFailure)
{
    Home h;
    RunResult r = h.cli({"phonecut", "beta"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, record("Beta", h.b, "", "in = 0.00\nout = 0.00\nfade_in_ms = 0\nfade_out_ms = 0\n"));
    r = h.cli({"phonecut", "gamma"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
}

// ffmpeg that is missing, fails half way or is killed: the song reports an
// empty cut, the command fails, and no partial file sits under a song name.
TEST(CliPhonecut, BrokenFfmpeg)
{
    struct Case {
        const char* name;
        const char* script;  // empty = no ffmpeg at all
    };
    const Case cases[] = {
        {"missing", ""},
        {"fails", "for a; do last=$a; done; echo partial > \"$last\"; exit 1"},
        {"killed", "for a; do last=$a; done; echo partial > \"$last\"; kill -9 $$"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Home h;
        std::string bin = h.dir / "bin";
        tsup::write_file(bin + "/.keep", "");
        if (*c.script) tsup::write_script(bin + "/ffmpeg", c.script);
        tsup::RunOptions o;
        o.env["PATH"] = bin;
        RunResult r = h.cli({"phonecut", h.a, h.b}, o);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, record("Alpha", h.a, "", "in = 0.50\nout = 2.50\nfade_in_ms = 300\nfade_out_ms = 1500\n") +
                             record("Beta", h.b, "", "in = 0.00\nout = 0.00\nfade_in_ms = 0\nfade_out_ms = 0\n"));
        EXPECT_NEAR(tsup::probe_seconds(h.a), 3.0, 0.02);  // the song itself is untouched
        std::error_code ec;
        for (std::filesystem::recursive_directory_iterator it(h.cache, ec), end; !ec && it != end; it.increment(ec))
            EXPECT_FALSE(it->is_regular_file()) << it->path();  // no partial cut, no done marker
    }
}

}  // namespace
