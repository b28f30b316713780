// Catalog load and save with 20,000 tracks, and the whole `songs` process over
// the same catalog.
#include <benchmark/benchmark.h>

#include <chrono>

#include "core/library.h"
#include "support/support.h"

namespace {

Library big_library(const std::string& path)
{
    Library lib;
    lib.catalog_path = path;
    lib.scan_root = "/home/me/Music";
    for (int i = 0; i < 20000; ++i) {
        Track t;
        std::string n = std::to_string(i);
        t.path = "/home/me/Music/Artist " + std::to_string(i % 500) + "/Album " + std::to_string(i % 1500) +
                 "/" + n + " Some Song Title.mp3";
        t.title = "Some Song Title " + n;
        t.artist = "Artist " + std::to_string(i % 500);
        t.album = "Album " + std::to_string(i % 1500);
        t.genre = "Rock";
        t.duration = 180 + i % 120;
        t.plays = i % 7;
        t.fav = i % 11 == 0;
        t.track_num = i % 14 + 1;
        t.year = 1970 + i % 50;
        lib.tracks.push_back(t);
    }
    Playlist p{"Favourites", {}};
    for (int i = 0; i < 200; ++i) p.paths.push_back(lib.tracks[i * 7].path);
    lib.playlists.push_back(p);
    return lib;
}

struct Fixture {
    tsup::TempDir home;
    Library lib;
    Fixture() : lib(big_library(home / ".lumoramusic/library.toml")) { lib.save_catalog(); }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

void BM_CatalogLoad20k(benchmark::State& st)
{
    Library lib;
    lib.catalog_path = fixture().lib.catalog_path;
    for (auto _ : st) {
        lib.load_catalog();
        benchmark::DoNotOptimize(lib.tracks.data());
    }
    st.counters["tracks"] = static_cast<double>(lib.tracks.size());
}

void BM_CatalogSave20k(benchmark::State& st)
{
    const Library& lib = fixture().lib;
    for (auto _ : st) benchmark::DoNotOptimize(lib.save_catalog());
}

void BM_SongsProcess20k(benchmark::State& st)
{
    for (auto _ : st) {
        tsup::RunResult r = tsup::run_cli(fixture().home.path(), {"songs"});
        if (r.status != 0) st.SkipWithError("songs failed");
    }
}

void BM_SongsQueryProcess20k(benchmark::State& st)
{
    for (auto _ : st) {
        tsup::RunResult r = tsup::run_cli(fixture().home.path(), {"songs", "title", "1999"});
        if (r.status != 0) st.SkipWithError("songs failed");
    }
}

}  // namespace

BENCHMARK(BM_CatalogLoad20k)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_CatalogSave20k)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_SongsProcess20k)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_SongsQueryProcess20k)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK_MAIN();
