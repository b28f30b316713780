// Wall time of the tool's slow paths: analyze of a 4-minute song whose speech
// result is cached, and the organize plan over a 20,000-song catalog.
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

#include "cli/org.h"
#include "support/standin_support.h"

namespace {

using Clock = std::chrono::steady_clock;

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

template <class F>
double time_ms(F&& f)
{
    auto t0 = Clock::now();
    f();
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

void bench_analyze(const tsup::TempDir& home)
{
    std::string song = home / "music/long.mp3";
    ::mkdir((home / "music").c_str(), 0755);
    tsup::make_tone(song, 240.0);
    tsup::FakeBin bin(home / "bin");
    bin.add("fake-asr", tsup::fake_asr_script());
    tsup::write_file(home / "asr.json", tsup::asr_json({{{" la", 10, 11}}, {{" end", 200, 201}}}));
    tsup::RunOptions opts;
    opts.env = {{"PATH", bin.path_env()}, {"LUMORA_ASR", "fake-asr"}, {"FAKE_ASR_JSON", home / "asr.json"}};
    tsup::run_cli(home.path(), {"analyze", song}, opts);  // fills the speech cache
    std::vector<double> runs;
    for (int i = 0; i < 5; ++i)
        runs.push_back(time_ms([&] { tsup::run_cli(home.path(), {"analyze", song}, opts); }));
    std::printf("analyze, 4-minute MP3, cached speech: median %.0f ms (5 runs)\n", median(runs));
}

void bench_organize(const tsup::TempDir& home)
{
    std::string root = home / "lib";
    ::mkdir(root.c_str(), 0755);
    std::vector<Track> tracks;
    for (int i = 0; i < 20000; ++i) {
        Track t;
        t.path = root + "/song " + std::to_string(i) + ".mp3";
        t.title = "Song " + std::to_string(i);
        t.artist = "Artist " + std::to_string(i % 400);
        t.album = "Album " + std::to_string(i % 1500);
        ::close(::open(t.path.c_str(), O_WRONLY | O_CREAT, 0644));
        tracks.push_back(std::move(t));
    }
    tsup::write_catalog(home.path(), tracks, root);
    ::setenv("HOME", home.path().c_str(), 1);
    std::vector<double> plan;
    for (int i = 0; i < 5; ++i) {
        Library lib = tsup::read_catalog(home.path());
        plan.push_back(time_ms([&] { org_plan(lib); }));
    }
    std::vector<double> cli;
    for (int i = 0; i < 3; ++i)
        cli.push_back(time_ms([&] { tsup::run_cli(home.path(), {"organize"}); }));
    std::printf("organize plan, 20000 loose songs: org_plan median %.0f ms; "
                "'organize' dry run (load, plan, print) median %.0f ms\n",
                median(plan), median(cli));
}

}  // namespace

int main()
{
    tsup::TempDir a, b;
    bench_analyze(a);
    bench_organize(b);
    return 0;
}
