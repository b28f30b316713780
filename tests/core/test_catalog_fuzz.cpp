// Seeded mutations of a valid catalog: the reader must never crash, and
// whatever it makes of the bytes must survive a save and a reload unchanged.
#include <gtest/gtest.h>

#include <random>

#include "core/library.h"

namespace {

std::string seed_catalog()
{
    Library lib;
    lib.scan_root = "/home/u/Music";
    for (int i = 0; i < 6; ++i) {
        Track t;
        t.path = "/home/u/Music/A/" + std::to_string(i) + " song.mp3";
        t.title = "Song \"" + std::to_string(i) + "\"";
        t.artist = "Art";
        t.album = "Alb";
        t.duration = 100 + i;
        t.track_num = i;
        t.fav = i % 2;
        lib.tracks.push_back(t);
    }
    lib.playlists.push_back(Playlist{"Mix", {"/home/u/Music/A/1 song.mp3", "/x \"y\".mp3"}});
    return lib.catalog_text();
}

std::string mutate(std::string s, std::mt19937& rng)
{
    const char pool[] = "[]=\"\\\n #-0123456789tracklistnamepaths\r\t\xff";
    int edits = 1 + rng() % 8;
    for (int e = 0; e < edits; ++e) {
        size_t at = s.empty() ? 0 : rng() % s.size();
        switch (rng() % 5) {
        case 0: if (!s.empty()) s[at] = pool[rng() % (sizeof pool - 1)]; break;
        case 1: s.insert(at, 1, pool[rng() % (sizeof pool - 1)]); break;
        case 2: s.erase(at, rng() % 16); break;
        case 3: s.resize(at); break;
        case 4: s.insert(at, s.substr(rng() % (s.size() + 1), rng() % 64)); break;
        }
    }
    return s;
}

}  // namespace

TEST(CatalogFuzz, MutatedCatalogsLoadAndRoundTrip)
{
    std::mt19937 rng(20261211);
    const std::string seed = seed_catalog();
    for (int i = 0; i < 4000; ++i) {
        std::string text = mutate(seed, rng);
        Library a;
        a.load_catalog_text(text);
        std::string once = a.catalog_text();
        Library b;
        b.load_catalog_text(once);
        ASSERT_EQ(b.catalog_text(), once) << "mutation " << i << ":\n" << text;
    }
}
