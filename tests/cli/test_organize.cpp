// organize: plans, moves with side files, repointing of every record, journals,
// undo, refusals and interrupted runs.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "cli/asr.h"
#include "cli/org.h"
#include "core/originals.h"
#include "core/points.h"
#include "core/state.h"
#include "core/trash.h"
#include "support/standin_support.h"

namespace fs = std::filesystem;

namespace {

TEST(OrgTarget, FolderNames)
{
    struct Case {
        const char* artist;
        const char* album;
        const char* file;
        const char* want;
    } cases[] = {
        {"", "Live", "/r/Band - Song.mp3", "/r/Band/Live/Band - Song.mp3"},
        {"AC/DC", "Live: 1991", "/r/a.mp3", "/r/AC/Live- 1991/a.mp3"},
        {"X", " . . ", "/r/a.mp3", "/r/X/Unknown Album/a.mp3"},
        {"", "", "/r/plain.mp3", "/r/Unknown Artist/Unknown Album/plain.mp3"},
        {"..", "../../etc", "/r/a.mp3", "/r/Unknown Artist/-..-etc/a.mp3"},
        {"a\\b", "  x  ", "/r/a.mp3", "/r/a-b/x/a.mp3"},
    };
    for (const Case& c : cases) {
        Track t;
        t.path = c.file;
        t.artist = c.artist;
        t.album = c.album;
        EXPECT_EQ(org_target("/r", t), c.want) << c.artist << " / " << c.album;
    }
    EXPECT_EQ(org_safe(std::string(300, 'x'), "F").size(), 120u);
}

TEST(OrgJournal, ReadsLenientlyAndReverses)
{
    tsup::TempDir home;
    tsup::ScopedEnv env("HOME", home.path());
    std::vector<Move> moves = {{"/r/a \"q\".mp3", "/r/A/B/a \"q\".mp3", true, {}}, {"/r/t.mp3", "/r/T/U/t.mp3", false, {}}};
    std::string path = org_journal_write(moves);
    ASSERT_FALSE(path.empty());
    std::string text = tsup::read_file(path);
    EXPECT_EQ(text.substr(0, text.find('\n') + 2),
              "# Lumora Music organize journal \xE2\x80\x94 undo: lumora-music-cli organize --undo " + path + "\n\n");
    EXPECT_NE(text.find("[[move]]\nfrom = \"/r/a \\\"q\\\".mp3\"\nto = \"/r/A/B/a \\\"q\\\".mp3\"\nfile = true\n\n"),
              std::string::npos);
    std::vector<Move> back = org_journal_read(path, true);
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[0].from, moves[0].to);
    EXPECT_EQ(back[0].to, moves[0].from);
    EXPECT_FALSE(back[1].file);
    EXPECT_NE(org_journal_write(moves), path) << "a second journal in the same second gets its own name";

    tsup::write_file(home / "torn.toml", "from = \"/x\"\n[[move]]\nfrom = \"/a\"\nto = \"/b\"\nfile = yes-true\n"
                                         "[[move]]\nfrom = \"/c\"\n");
    back = org_journal_read(home / "torn.toml", false);
    ASSERT_EQ(back.size(), 1u) << "a move cut short is dropped";
    EXPECT_TRUE(back[0].file);
    EXPECT_TRUE(org_journal_read(home / "missing.toml", false).empty());
}

// A scan root with loose songs of every kind, and records naming them in every store.
class Organize : public ::testing::Test {
protected:
    tsup::TempDir home;
    std::string root = home / "music";
    tsup::RunOptions opts;
    std::map<std::string, std::string> contents;  // original path -> bytes

    std::string song(const std::string& rel, const std::string& artist, const std::string& album,
                     std::vector<Track>& tracks)
    {
        std::string p = root + "/" + rel;
        contents[p] = "audio of " + rel;
        tsup::write_file(p, contents[p]);
        Track t;
        t.path = p;
        t.title = path_stem(p);
        t.artist = artist;
        t.album = album;
        tracks.push_back(t);
        return p;
    }

    void SetUp() override
    {
        opts.env["LUMORA_MUSIC_APP_PROC"] = "no-such-player-xyz";
        tsup::ScopedEnv env("HOME", home.path());
        std::vector<Track> tracks;
        song("Band - Song.mp3", "", "Live", tracks);
        std::string acdc = song("acdc.mp3", "AC/DC", "Live: 1991", tracks);
        song("taken.mp3", "T", "A", tracks);
        song("sub/deep.mp3", "D", "E", tracks);
        song("\xC3\xA9t\xC3\xA9 [1].mp3", "Zo\xC3\xAB \\ Co", "\xC3\x89t\xC3\xA9", tracks);
        tsup::write_file(root + "/acdc.lrc", "[00:01.00]lyrics");
        tsup::write_file(root + "/acdc.chords.toml", "chords");
        tsup::write_file(root + "/taken.lrc", "taken lyrics");
        tsup::write_file(root + "/T/A/taken.mp3", "another song already there");
        tsup::write_file(root + "/T/A/taken.lrc", "its lyrics");
        contents[root + "/new -dash $x.mp3"] = "loose, not in catalog";
        tsup::write_file(root + "/new -dash $x.mp3", contents[root + "/new -dash $x.mp3"]);
        tsup::write_catalog(home.path(), tracks, root, {{"Gym", {acdc, root + "/sub/deep.mp3"}}});

        IoStore pts;
        pts[acdc] = {1.5f, 20.0f};
        ASSERT_TRUE(io_store_save(pts, io_store_file()));
        tsup::write_file(home / "orig.mp3", "saved original");
        ASSERT_TRUE(io_originals_save({{acdc, home / "orig.mp3"}}, io_originals_file()));
        TrashEntry e;
        e.track.path = root + "/gone.mp3";
        e.track.artist = "G";
        e.track.album = "H";
        e.at = home / ".lumoramusic/trash/abc-gone.mp3";
        tsup::write_file(e.at, "trashed");
        TrashEntry away = e;  // its trash folder is on a drive not mounted now
        away.track.path = home / "elsewhere/x.mp3";
        away.at = "/nonexistent-drive/.lumoramusic-trash/x.mp3";
        ASSERT_TRUE(state_write(trash_index_file(), trash_text({e, away})));
        std::string size = std::to_string(contents[acdc].size());
        tsup::write_file(asr_dir(acdc, contents[acdc].size()) + "/acdc.json", "{}");
    }

    // Every original song's bytes are still in some file below the root.
    void expect_nothing_lost()
    {
        std::multiset<std::string> found;
        for (auto& e : fs::recursive_directory_iterator(root))
            if (e.is_regular_file()) found.insert(tsup::read_file(e.path().string()));
        for (const auto& [path, bytes] : contents) EXPECT_TRUE(found.count(bytes)) << path << " was lost";
    }

    void expect_records_exist()
    {
        Library lib = tsup::read_catalog(home.path());
        for (const Track& t : lib.tracks) EXPECT_TRUE(tsup::exists(t.path)) << t.path;
        for (const Playlist& p : lib.playlists)
            for (const std::string& s : p.paths) EXPECT_TRUE(tsup::exists(s)) << s;
        tsup::ScopedEnv env("HOME", home.path());
        for (const auto& [p, io] : io_store_load(io_store_file())) EXPECT_TRUE(tsup::exists(p)) << p;
    }

    std::string only_journal()
    {
        std::vector<std::string> js;
        for (auto& e : fs::directory_iterator(home / ".lumoramusic/organize")) js.push_back(e.path().string());
        EXPECT_EQ(js.size(), 1u);
        return js.empty() ? "" : js[0];
    }
};

TEST_F(Organize, DryRunPlansAndChangesNothing)
{
    std::string before = tsup::read_file(home / ".lumoramusic/library.toml");
    tsup::RunResult r = tsup::run_cli(home.path(), {"organize"}, opts);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("move   acdc.mp3\n    -> AC/Live- 1991/acdc.mp3\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("move   Band - Song.mp3\n    -> Band/Live/Band - Song.mp3\n"), std::string::npos);
    EXPECT_NE(r.out.find("move   new -dash $x.mp3\n    -> Unknown Artist/Unknown Album/new -dash $x.mp3\n"),
              std::string::npos);
    EXPECT_NE(r.out.find("record gone.mp3\n    -> G/H/gone.mp3\n"), std::string::npos);
    EXPECT_NE(r.out.find("move   \xC3\xA9t\xC3\xA9 [1].mp3\n    -> Zo\xC3\xAB - Co/\xC3\x89t\xC3\xA9/\xC3\xA9t\xC3\xA9 [1].mp3\n"),
              std::string::npos);
    EXPECT_EQ(r.out.find("deep.mp3"), std::string::npos) << "songs in subfolders stay";
    EXPECT_EQ(r.out.find("elsewhere"), std::string::npos) << "songs outside the root stay";
    EXPECT_NE(r.out.find("\n6 planned (dry run: add --apply)\n"), std::string::npos);
    EXPECT_EQ(tsup::read_file(home / ".lumoramusic/library.toml"), before);
    EXPECT_TRUE(tsup::exists(root + "/acdc.mp3"));
}

TEST_F(Organize, ApplyMovesFilesAndRepointsEveryRecordThenUndoRestores)
{
    std::string acdc = root + "/acdc.mp3", moved = root + "/AC/Live- 1991/acdc.mp3";
    tsup::RunResult r = tsup::run_cli(home.path(), {"organize", "--apply"}, opts);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("moved 6 of 6\nundo: lumora-music-cli organize --undo "), std::string::npos) << r.out;
    EXPECT_EQ(tsup::read_file(moved), contents[acdc]);
    EXPECT_FALSE(tsup::exists(acdc));
    EXPECT_EQ(tsup::read_file(root + "/AC/Live- 1991/acdc.lrc"), "[00:01.00]lyrics");
    EXPECT_EQ(tsup::read_file(root + "/AC/Live- 1991/acdc.chords.toml"), "chords");
    EXPECT_FALSE(tsup::exists(root + "/acdc.lrc"));
    // The taken target keeps its file; ours gets a free name, side file following.
    EXPECT_EQ(tsup::read_file(root + "/T/A/taken.mp3"), "another song already there");
    EXPECT_EQ(tsup::read_file(root + "/T/A/taken 2.mp3"), contents[root + "/taken.mp3"]);
    EXPECT_EQ(tsup::read_file(root + "/T/A/taken 2.lrc"), "taken lyrics");
    EXPECT_EQ(tsup::read_file(root + "/T/A/taken.lrc"), "its lyrics");
    expect_nothing_lost();
    expect_records_exist();

    Library lib = tsup::read_catalog(home.path());
    EXPECT_GE(lib.find_path(moved), 0);
    EXPECT_GE(lib.find_path(root + "/Unknown Artist/Unknown Album/new -dash $x.mp3"), 0) << "loose file joined";
    EXPECT_EQ(lib.playlists.at(0).paths.at(0), moved);
    {
        tsup::ScopedEnv env("HOME", home.path());
        IoStore pts = io_store_load(io_store_file());
        EXPECT_EQ(pts.count(acdc), 0u);
        EXPECT_FLOAT_EQ(pts[moved].in, 1.5f);
        EXPECT_EQ(io_originals_load(io_originals_file()).count(moved), 1u);
        std::string trash_text_now;
        state_read(trash_index_file(), trash_text_now);
        std::vector<TrashEntry> trash = trash_parse(trash_text_now);
        ASSERT_EQ(trash.size(), 2u) << "the entry on an absent drive keeps its record";
        EXPECT_EQ(trash[0].track.path, root + "/G/H/gone.mp3");
        size_t size = contents[acdc].size();
        EXPECT_TRUE(tsup::exists(asr_dir(moved, size) + "/acdc.json"));
        EXPECT_FALSE(tsup::exists(asr_dir(acdc, size)));
    }

    std::string journal = only_journal();
    r = tsup::run_cli(home.path(), {"organize", "--undo", journal}, opts);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("6 planned (applying)\nmoved 6 of 6\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("undo:"), std::string::npos);
    only_journal();  // the undo wrote none
    for (const auto& [path, bytes] : contents) EXPECT_EQ(tsup::read_file(path), bytes) << path;
    EXPECT_EQ(tsup::read_file(root + "/acdc.lrc"), "[00:01.00]lyrics");
    EXPECT_FALSE(tsup::exists(moved));
    lib = tsup::read_catalog(home.path());
    EXPECT_GE(lib.find_path(acdc), 0);
    expect_records_exist();
}

TEST_F(Organize, RefusesWhileThePlayerRuns)
{
    opts.env["LUMORA_MUSIC_APP_PROC"] = tsup::read_file("/proc/self/comm").substr(0, 15);
    opts.env["LUMORA_MUSIC_APP_PROC"].erase(opts.env["LUMORA_MUSIC_APP_PROC"].find_last_not_of("\n") + 1);
    tsup::RunResult r = tsup::run_cli(home.path(), {"organize", "--apply"}, opts);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Quit Lumora Music first (it would overwrite the catalog).\n");
    EXPECT_TRUE(tsup::exists(root + "/acdc.mp3"));
}

TEST_F(Organize, UnwritableTargetSkipsThatSongOnly)
{
    tsup::write_file(root + "/Band", "a file where the artist folder would go");
    tsup::RunResult r = tsup::run_cli(home.path(), {"organize", "--apply"}, opts);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("skip " + root + "/Band - Song.mp3: Not a directory\n"), std::string::npos) << r.err;
    EXPECT_NE(r.out.find("moved 5 of 6\n"), std::string::npos) << r.out;
    EXPECT_TRUE(tsup::exists(root + "/Band - Song.mp3"));
    EXPECT_TRUE(tsup::exists(root + "/T/A/taken 2.mp3"));
    expect_records_exist();
}

TEST_F(Organize, SongListedTwiceMovesOnce)
{
    Library lib = tsup::read_catalog(home.path());
    lib.tracks.push_back(lib.tracks.at(1));  // acdc.mp3 again
    tsup::write_catalog(home.path(), lib.tracks, root, lib.playlists);
    tsup::RunResult r = tsup::run_cli(home.path(), {"organize", "--apply"}, opts);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("moved 6 of 6\n"), std::string::npos) << r.out;
    lib = tsup::read_catalog(home.path());
    EXPECT_EQ(std::count_if(lib.tracks.begin(), lib.tracks.end(),
                            [&](const Track& t) { return t.path == root + "/AC/Live- 1991/acdc.mp3"; }),
              2)
        << "both records follow the song";
    expect_records_exist();
}

TEST_F(Organize, NoJournalNoMoves)
{
    tsup::write_file(home / ".lumoramusic/organize", "a file where the journal folder goes");
    tsup::RunResult r = tsup::run_cli(home.path(), {"organize", "--apply"}, opts);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot write the organize journal"), std::string::npos) << r.err;
    for (const auto& [path, bytes] : contents) EXPECT_EQ(tsup::read_file(path), bytes) << path;
}

// Killed after the second move, or after dropping the first old name: nothing
// is lost, every record names a file, and both undo and a new run recover.
TEST_F(Organize, InterruptedRunIsSafeAndRecoverable)
{
    for (const char* stage : {"move:2", "drop:1"}) {
        SCOPED_TRACE(stage);
        SetUp();
        opts.env["LUMORA_TEST_ORG_ABORT"] = stage;
        tsup::RunResult r = tsup::run_cli(home.path(), {"organize", "--apply"}, opts);
        EXPECT_EQ(r.status, -1) << "killed";
        expect_nothing_lost();
        expect_records_exist();

        opts.env.erase("LUMORA_TEST_ORG_ABORT");
        r = tsup::run_cli(home.path(), {"organize", "--undo", only_journal()}, opts);
        EXPECT_EQ(r.status, 0) << r.out << r.err;
        for (const auto& [path, bytes] : contents) EXPECT_EQ(tsup::read_file(path), bytes) << path;
        EXPECT_FALSE(tsup::exists(root + "/AC/Live- 1991/acdc.mp3"));
        EXPECT_FALSE(tsup::exists(root + "/Band/Live/Band - Song.mp3"));
        expect_records_exist();
        fs::remove_all(home / ".lumoramusic/organize");
    }
}

TEST_F(Organize, RunAfterInterruptionFinishesWithoutDuplicates)
{
    opts.env["LUMORA_TEST_ORG_ABORT"] = "drop:2";
    tsup::run_cli(home.path(), {"organize", "--apply"}, opts);
    opts.env.erase("LUMORA_TEST_ORG_ABORT");
    tsup::RunResult r = tsup::run_cli(home.path(), {"organize", "--apply"}, opts);
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    Library lib = tsup::read_catalog(home.path());
    std::set<std::string> paths;
    for (const Track& t : lib.tracks) EXPECT_TRUE(paths.insert(t.path).second) << "twice: " << t.path;
    for (const char* loose : {"acdc.mp3", "Band - Song.mp3", "taken.mp3"})
        EXPECT_FALSE(tsup::exists(root + "/" + loose)) << loose;
    std::multiset<std::string> found;
    for (auto& e : fs::recursive_directory_iterator(root))
        if (e.is_regular_file()) found.insert(tsup::read_file(e.path().string()));
    for (const auto& [path, bytes] : contents) EXPECT_EQ(found.count(bytes), 1u) << path << ": one name each";
    expect_records_exist();
}

}  // namespace
