// lyrics against a local stand-in of the synced-lyrics service.
#include <gtest/gtest.h>

#include "cli/lyrics_service.h"
#include "support/standin_support.h"

namespace {

TEST(LyricQuery, CleansBracketsAndExtraArtists)
{
    struct Case {
        const char* in;
        bool artist;
        const char* want;
    } cases[] = {
        {"Song (Live) [Remastered]", false, "Song"},
        {"A, B", true, "A"},
        {"AC/DC", true, "AC"},
        {"AC/DC", false, "AC/DC"},
        {"  hey_jude ((x)) tail ", false, "hey jude  tail"},
        {"Un)balanced]", false, "Unbalanced"},
        {"(all bracket)", false, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(cli_lyric_query(c.in, c.artist), c.want) << c.in;
}

class LyricsCmd : public ::testing::Test {
protected:
    tsup::TempDir home;
    tsup::LyricsServer server{home / "srv"};
    tsup::FakeBin bin{home / "bin"};
    std::string song = home / "m/-rf $(touch x) 'q'.mp3";
    std::string lrc = home / "m/-rf $(touch x) 'q'.lrc";
    tsup::RunOptions opts;

    void SetUp() override
    {
        tsup::write_file(song, "fake audio");
        bin.add("fake-asr", tsup::fake_asr_script());
        tsup::write_file(home / "asr.json", tsup::asr_json({{{" la", 1.0, 1.5}, {" la", 1.6, 2.0}}}));
        opts.env = {{"PATH", bin.path_env()},
                    {"LUMORA_ASR", "fake-asr"},
                    {"FAKE_ASR_JSON", home / "asr.json"},
                    {"LUMORA_LYRICS_API", server.api()}};
        Track t;
        t.path = song;
        t.title = "Ti\"tle (Live) x";
        t.artist = "Ar & tist, Other";
        t.album = "Al\\bum";
        t.duration = 200;
        tsup::write_catalog(home.path(), {t}, home / "m");
    }

    std::string record(const std::string& source) const
    {
        return "[[song]]\ntitle = \"Ti\\\"tle (Live) x\"\npath = \"" + song + "\"\nsource = \"" + source +
               "\"\n\n";
    }
};

TEST_F(LyricsCmd, ExactLookupWins)
{
    server.set_routes(R"({"get": {"status": 200, "body": "{\"syncedLyrics\": \"[00:01.00]hi\\n\"}"}})");
    tsup::RunResult r = tsup::run_cli(home.path(), {"lyrics", "live"}, opts);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, record("lrclib"));
    EXPECT_EQ(tsup::read_file(lrc), "[00:01.00]hi\n");
    std::vector<std::string> log = server.log_lines();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find(R"("path": "/api/get")"), std::string::npos);
    EXPECT_NE(log[0].find(R"("artist_name": "Ar & tist, Other", "track_name": "Ti\"tle (Live) x", )"
                          R"("album_name": "Al\\bum", "duration": "200")"),
              std::string::npos)
        << log[0];
    EXPECT_NE(log[0].find("LumoraMusic (offline player)"), std::string::npos);
    EXPECT_FALSE(tsup::exists(home / "m/x")) << "no shell may ever see the path";

    // Existing lyrics: nothing is asked.
    r = tsup::run_cli(home.path(), {"lyrics", song}, opts);
    EXPECT_EQ(r.out, record("existing"));
    EXPECT_EQ(server.log_lines().size(), 1u);
}

TEST_F(LyricsCmd, ErrorThenSearchPicksClosestDuration)
{
    server.set_routes(R"({"get": {"status": 404, "body": "{\"syncedLyrics\": \"wrong\"}"},
        "search": {"status": 200, "body": "[{\"syncedLyrics\": \"far\", \"duration\": 194.99},
            {\"syncedLyrics\": \"two\", \"duration\": 202},
            {\"syncedLyrics\": null, \"duration\": 200},
            {\"syncedLyrics\": \"one\", \"duration\": 199},
            {\"syncedLyrics\": \"one-later\", \"duration\": 201},
            {\"syncedLyrics\": \"nodur\"}]"}})");
    tsup::RunResult r = tsup::run_cli(home.path(), {"lyrics", song, "--replace"}, opts);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, record("lrclib-search"));
    EXPECT_EQ(tsup::read_file(lrc), "one");
    std::vector<std::string> log = server.log_lines();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_NE(log[1].find(R"("query": {"artist_name": "Ar & tist", "track_name": "Ti\"tle  x"})"),
              std::string::npos)
        << log[1];
}

TEST_F(LyricsCmd, FallsBackToSpeechThenNone)
{
    server.set_routes(R"({"get": {"status": 500, "body": ""},
        "search": {"status": 200, "body": "[{\"syncedLyrics\": \"too far\", \"duration\": 205.01}]"}})");
    tsup::write_file(lrc, "old lyrics");
    tsup::RunResult r = tsup::run_cli(home.path(), {"lyrics", "--missing", "--replace"}, opts);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, record("asr"));
    EXPECT_EQ(tsup::read_file(lrc), "[re:lumora-music asr]\n[00:01.00]la la\n");

    opts.env["FAKE_ASR_FAIL"] = "1";
    opts.env["HOME"] = home.path();
    std::remove(lrc.c_str());
    tsup::write_file(home / "m/other.mp3", "other bytes");  // other size: no cached result
    r = tsup::run_cli(home.path(), {"lyrics", home / "m/other.mp3"}, opts);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("source = \"none\""), std::string::npos);
    EXPECT_FALSE(tsup::exists(home / "m/other.lrc"));

    r = tsup::run_cli(home.path(), {"lyrics", "zzz-nothing"}, opts);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
}

TEST_F(LyricsCmd, SlowOrMissingServiceIsNoAnswer)
{
    // Nothing listens on the port: the request fails at once and speech takes over.
    opts.env["LUMORA_LYRICS_API"] = "http://127.0.0.1:1/api/";
    tsup::RunResult r = tsup::run_cli(home.path(), {"lyrics", song}, opts);
    EXPECT_EQ(r.out, record("asr"));

    Track t;
    t.title = "x";
    t.duration = 1;
    tsup::ScopedEnv api("LUMORA_LYRICS_API", server.api());
    server.set_routes(R"({"get": {"status": 200, "body": "{\"syncedLyrics\": 5}"},
                          "search": {"status": 200, "body": "{\"not\": \"an array\"}"}})");
    std::string source = "untouched";
    EXPECT_EQ(cli_lrclib(t, source), "");
    EXPECT_EQ(source, "untouched");
    server.set_routes(R"({"get": {"status": 200, "delay": 0.5, "body": "slow but fine"}})");
    EXPECT_EQ(cli_http_get(server.api() + "get", {{"a", "b c&d=e"}}), "slow but fine");
    EXPECT_NE(server.log().find(R"({"a": "b c&d=e"})"), std::string::npos);
}

}  // namespace
