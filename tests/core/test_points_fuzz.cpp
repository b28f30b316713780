// Damaged state files: every reader must cope with any bytes.
#include <gtest/gtest.h>

#include <random>

#include "core/history.h"
#include "core/io_settings.h"
#include "core/originals.h"
#include "core/points.h"
#include "core/trash.h"
#include "support/points_support.h"

namespace {

std::string mutate(std::string s, std::mt19937& rng)
{
    const char pool[] = "\"\\=[]#\n\r -.0123456789eEnaif \x00\xff";
    int edits = 1 + static_cast<int>(rng() % 8);
    for (int i = 0; i < edits && !s.empty(); ++i) {
        size_t at = rng() % s.size();
        switch (rng() % 4) {
        case 0: s[at] = pool[rng() % (sizeof pool - 1)]; break;
        case 1: s.erase(at, 1 + rng() % 6); break;
        case 2: s.insert(at, 1, pool[rng() % (sizeof pool - 1)]); break;
        default: s = s.substr(0, at); break;  // cut short, as a crash mid-write would
        }
    }
    return s;
}

TEST(StateFuzz, ReadersSurviveDamagedFiles)
{
    tsup::StateHome h;
    IoStore store;
    store["/m/a \"x\".mp3"] = {1.5f, 20};
    store["/m/b.mp3"] = {-1, 90};
    TrashEntry e;
    e.track.path = "/m/c.mp3";
    e.at = h.dir / "t.mp3";
    e.playlists = {"Gym", "C\"ar"};
    IoSettings settings;
    const std::string seeds[] = {io_store_text(store), trash_text({e}), io_settings_text(settings),
                                 "[[original]]\nsong = \"/m/a.mp3\"\nbackup = \"" + (h.dir / "t.mp3") + "\"\n",
                                 "# Lumora Music undo position\ncur = 3\ntop = 5\n"};
    tsup::write_file(h.dir / "t.mp3", "x");
    std::mt19937 rng(20261211);
    for (int i = 0; i < 500; ++i) {
        const std::string& seed = seeds[i % 5];
        std::string text = mutate(seed, rng);
        IoStore s = io_store_parse(text);
        for (const auto& [path, p] : s) {
            EXPECT_FALSE(path.empty());
            EXPECT_TRUE(p.in == p.in && p.out == p.out);  // never NaN
        }
        // What is parsed is written back in a form that reads the same.
        EXPECT_EQ(io_store_text(io_store_parse(io_store_text(s))), io_store_text(s));
        trash_text(trash_parse(text));
        IoSettings st;
        io_settings_parse(st, text);
        EXPECT_TRUE(st.fade_in_ms >= 0 && st.fade_in_ms <= 5000);
        tsup::write_file(h.state("originals.toml"), text);
        io_originals_load(h.state("originals.toml"));
        tsup::write_file(h.state("history/pos.toml"), text);
        HistPos pos = hist_pos_load();
        EXPECT_GE(pos.cur, 0);
        EXPECT_GE(pos.top, 0);
    }
}

}  // namespace
