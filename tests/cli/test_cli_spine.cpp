#include <gtest/gtest.h>

#include <filesystem>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include "cli/cli.h"
#include "core/library.h"
#include "support/support.h"

extern char** environ;

using tsup::RunResult;
using tsup::TempDir;

namespace {

const std::string kUsage =
    "lumora-music-cli \xE2\x80\x94 Lumora Music from the terminal\n\n"
    "  songs   [SONG...]               list matching library songs\n"
    "  points  SONG...                 show saved In / Out\n"
    "  set     SONG... [--in S|-] [--out S|-]   write In / Out (- = clear)\n"
    "  organize [--apply | --undo JOURNAL]  file loose songs into Artist/Album/\n"
    "  relocate --to DIR [--apply]       copy library to DIR (other drive) + repoint records\n"
    "  download QUERY...                 spotdl song name / Spotify URL into library\n"
    "  autoio  SONG... [--replace]       heuristic In/Out (unset only; --replace = all)\n"
    "  undo | redo | history             step through I/O-points history (app Cmd+Z / Cmd+Shift+Z)\n"
    "  backup [LABEL]                    snapshot all app data (points, library, playlists, trash)\n"
    "  backups                           list backups, newest first\n"
    "  restore ID [--points-only]        put a backup back (current state backed up first)\n"
    "  lyrics  SONG... | --missing [--replace]  synced .lrc: lrclib, else offline ASR\n"
    "  chords  SONG... [--import F.cho] [--add T=NAME] [--del T] [--clear] [--key K] [--bpm N] [--detect]\n"
    "  chords  --missing                 detect chords for every song without them (~0.5 s each)\n"
    "          [--meter N] [--downbeat T|-] [--section T=NAME]   bars grid: beats/bar, where bar 1 starts, parts\n"
    "                                    show / edit <stem>.chords.toml (flags after SONG; 1 song to edit)\n"
    "  phonecut SONG... [--fade-in MS] [--fade-out MS]  phone copy cut to I/O + fades\n"
    "  analyze SONG... [--secs N] [--tail N]  speech head/tail + loudness + suggested In/Out\n\n"
    "SONG = file path, --artist NAME, or title words (case-insensitive).\n"
    "Writes ~/.lumoramusic/io_points.toml; a running app picks it up live.\n";

Track mk(const std::string& path, const std::string& title, const std::string& artist, const std::string& album)
{
    Track t;
    t.path = path;
    t.title = title;
    t.artist = artist;
    t.album = album;
    return t;
}

// A home folder whose catalog holds a few songs.
struct Home {
    TempDir dir;
    Home()
    {
        Library lib;
        lib.catalog_path = dir / ".lumoramusic/library.toml";
        lib.tracks = {mk("/m/hey.mp3", "Hey Jude", "The Beatles", "Past Masters"),
                      mk("/m/jude.mp3", "Jude", "Hey", ""),
                      mk("/m/dq.mp3", "Dancing Queen", "ABBA", "Arrival"),
                      mk("/m/sos.mp3", "SOS \"live\" take", "Abba", "Back\\slash"),
                      mk("/m/friends.mp3", "Other", "ABBA & Friends", "")};
        lib.save_catalog();
    }
    std::vector<std::string> resolve(const CliArgs& args)
    {
        tsup::ScopedEnv h("HOME", dir.path());
        std::vector<std::string> out;
        for (const Track& t : cli_resolve(args)) out.push_back(t.path);
        return out;
    }
};

}  // namespace

TEST(CliDispatch, UsageForMissingOrUnknownCommand)
{
    TempDir home;
    for (auto args : std::vector<std::vector<std::string>>{{}, {"help"}, {"Songs"}, {"--help"}}) {
        RunResult r = tsup::run_cli(home.path(), args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err, kUsage);
        EXPECT_EQ(r.out, "");
    }
}

TEST(CliResolve, WordsArtistsAndFlags)
{
    Home h;
    using V = std::vector<std::string>;
    struct Case {
        CliArgs args;
        V want;
    } cases[] = {
        {{"hey", "jude"}, {"/m/hey.mp3", "/m/jude.mp3"}},
        {{"hey_jude"}, {"/m/hey.mp3"}},
        {{"HEY", "JUDE"}, {"/m/hey.mp3", "/m/jude.mp3"}},
        {{"--artist", "abba"}, {"/m/dq.mp3", "/m/sos.mp3"}},
        {{"--artist", "abba", "queen"}, {"/m/dq.mp3", "/m/sos.mp3", "/m/dq.mp3"}},
        {{"queen", "--in", "10", "--out", "20"}, {"/m/dq.mp3"}},
        {{"--clear", "--key", "queen"}, {"/m/dq.mp3"}},
        {{"queen", "--artist"}, {}},
        {{}, {}},
        {{"nothing-matches"}, {}},
    };
    for (const auto& c : cases) {
        std::string label;
        for (auto& a : c.args) label += a + " ";
        EXPECT_EQ(h.resolve(c.args), c.want) << label;
    }
}

TEST(CliResolve, ExistingPathsBecomeSongs)
{
    Home h;
    tsup::write_file(h.dir / "cwd/local song.flac", "");
    tsup::ScopedEnv home("HOME", h.dir.path());
    std::string old = std::filesystem::current_path();
    std::filesystem::current_path(h.dir / "cwd");
    std::vector<Track> got = cli_resolve({"local song.flac", "."});
    std::filesystem::current_path(old);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].path, "local song.flac") << "kept as typed, not made absolute";
    EXPECT_EQ(got[0].title, "local song");
    EXPECT_EQ(got[0].artist, "");
    EXPECT_EQ(got[1].path, ".");
}

TEST(CliSongs, ListsRecordsEscapedAndExitStatus)
{
    Home h;
    RunResult all = tsup::run_cli(h.dir.path(), {"songs"});
    EXPECT_EQ(all.status, 0);
    EXPECT_EQ(all.out.rfind("[[song]]\ntitle = \"Hey Jude\"\nartist = \"The Beatles\"\npath = \"/m/hey.mp3\"\n\n", 0), 0u);
    RunResult sos = tsup::run_cli(h.dir.path(), {"songs", "sos"});
    EXPECT_EQ(sos.status, 0);
    EXPECT_EQ(sos.out, "[[song]]\ntitle = \"SOS \\\"live\\\" take\"\nartist = \"Abba\"\npath = \"/m/sos.mp3\"\n\n");
    RunResult none = tsup::run_cli(h.dir.path(), {"songs", "zzz"});
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.out, "");
    TempDir empty;
    EXPECT_EQ(tsup::run_cli(empty.path(), {"songs"}).status, 1);
}

TEST(CliSongs, RunsFromAnyFolderAndWithoutHome)
{
    Home h;
    tsup::RunOptions o;
    o.cwd = "/";
    EXPECT_EQ(tsup::run_cli(h.dir.path(), {"songs", "queen"}, o).status, 0);
    // With HOME unset the state folder is ./.lumoramusic.
    tsup::write_file(h.dir / "cwd/.lumoramusic/library.toml", "[[track]]\npath = \"/here.mp3\"\ntitle = \"Here\"\n");
    tsup::RunOptions u;
    u.cwd = h.dir / "cwd";
    u.unset = {"HOME"};
    RunResult r = tsup::run({LUMORA_CLI_BIN, "songs"}, u);
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("/here.mp3"), std::string::npos);
}

TEST(CliSpawn, ExitStatusesAndRunningCheck)
{
    EXPECT_TRUE(cli_spawn({"true"}, true));
    EXPECT_FALSE(cli_spawn({"false"}, true));
    EXPECT_FALSE(cli_spawn({"no-such-program-lumora"}, true));
    EXPECT_FALSE(cli_spawn({"sh", "-c", "kill -9 $$"}, true));

    // A process with an unusual name stands in for the player.
    TempDir d;
    std::string fake = d / "lumora-fake-app";
    std::filesystem::copy_file("/bin/sleep", fake);
    ::chmod(fake.c_str(), 0755);
    pid_t pid;
    char* argv[] = {fake.data(), const_cast<char*>("30"), nullptr};
    ASSERT_EQ(posix_spawn(&pid, fake.c_str(), nullptr, nullptr, argv, environ), 0);
    {
        tsup::ScopedEnv name("LUMORA_MUSIC_APP_PROC", "lumora-fake-app");
        EXPECT_TRUE(cli_app_running());
    }
    {
        tsup::ScopedEnv name("LUMORA_MUSIC_APP_PROC", "lumora-fake-ap");
        EXPECT_FALSE(cli_app_running()) << "the name must match exactly";
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
}
