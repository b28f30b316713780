// Chord detection: the analysis of a decoded four-minute song (samples to
// sheet), the whole `chords SONG --detect` process on a four-minute MP3, the
// peak memory of one detection of a ten-minute song, and `chords --missing`
// over several songs (how many cores it keeps busy).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

#include "chords/det.h"
#include "core/library.h"
#include "support/chords_support.h"
#include "support/support.h"

namespace {

std::vector<float> song_samples(float seconds)
{
    std::vector<tsup::SynthChord> bars = {{0, "", 4}, {7, "", 4}, {9, "m", 4}, {5, "7", 4}};
    std::vector<tsup::SynthChord> prog;
    while (prog.size() * 2.0f < seconds) prog.insert(prog.end(), bars.begin(), bars.end());
    std::vector<float> x = tsup::synth_song(prog, 120.0f, 0.4f);
    x.resize(static_cast<size_t>(seconds * 11025));
    return x;
}

// 16-bit mono WAV at 11025 Hz, then ffmpeg to a 44.1 kHz stereo MP3.
void write_mp3(const std::string& path, const std::vector<float>& x)
{
    std::string wav = path + ".wav";
    std::string bytes = "RIFF????WAVEfmt ";
    auto u32 = [&](uint32_t v) { for (int i = 0; i < 4; ++i) bytes += char(v >> (8 * i)); };
    auto u16 = [&](uint16_t v) { bytes += char(v & 0xff); bytes += char(v >> 8); };
    u32(16), u16(1), u16(1), u32(11025), u32(22050), u16(2), u16(16);
    bytes += "data";
    u32(static_cast<uint32_t>(x.size() * 2));
    for (float v : x) u16(static_cast<uint16_t>(static_cast<int16_t>(std::max(-1.0f, std::min(1.0f, v)) * 32000)));
    tsup::write_file(wav, bytes);
    tsup::run({"ffmpeg", "-y", "-loglevel", "error", "-i", wav, "-ar", "44100", "-ac", "2", "-b:a",
               "192k", path});
    std::remove(wav.c_str());
}

struct Measured {
    double wall_ms = 0, cpu_ms = 0, max_rss_mb = 0;
    int status = -1;
};

// Runs the tool with HOME set, output discarded, and measures that process alone.
Measured run_measured(const std::string& home, const std::vector<std::string>& args)
{
    std::vector<std::string> argv = {LUMORA_CLI_BIN};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> cargv;
    for (std::string& a : argv) cargv.push_back(a.data());
    cargv.push_back(nullptr);
    auto t0 = std::chrono::steady_clock::now();
    pid_t pid = fork();
    if (pid == 0) {
        setenv("HOME", home.c_str(), 1);
        int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        execv(cargv[0], cargv.data());
        _exit(127);
    }
    int status = 0;
    struct rusage ru {};
    wait4(pid, &status, 0, &ru);
    Measured m;
    m.wall_ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    m.cpu_ms = (ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) * 1e3 +
               (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e3;
    m.max_rss_mb = ru.ru_maxrss / 1024.0;
    m.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return m;
}

struct Files {
    tsup::TempDir home;
    std::string song4 = home / "music/four.mp3";
    std::string song10 = home / "music/ten.mp3";
    Files()
    {
        write_mp3(song4, song_samples(240));
        write_mp3(song10, song_samples(600));
    }
};

Files& files()
{
    static Files f;
    return f;
}

void BM_AnalyseDecoded4Min(benchmark::State& st)
{
    std::vector<float> x = song_samples(240);
    size_t chords = 0;
    for (auto _ : st) {
        ChordSheet sheet;
        det_detect_pcm(x, sheet);
        chords = sheet.chords.size();
    }
    st.counters["chords"] = static_cast<double>(chords);
}

// `chords --detect` as its own process on one song, from no chords file.
void detect_process(benchmark::State& st, const std::string& song)
{
    Files& f = files();
    double rss = 0, cpu = 0;
    for (auto _ : st) {
        std::remove(chords_path(song).c_str());
        Measured m = run_measured(f.home.path(), {"chords", song, "--detect"});
        if (m.status != 0) st.SkipWithError("chords --detect failed");
        st.SetIterationTime(m.wall_ms / 1e3);
        rss = m.max_rss_mb;
        cpu = m.cpu_ms;
    }
    st.counters["max_rss_MB"] = rss;
    st.counters["cpu_ms"] = cpu;
}

void BM_DetectProcess4MinMp3(benchmark::State& st)
{
    detect_process(st, files().song4);
}

void BM_DetectProcess10MinPeakMemory(benchmark::State& st)
{
    detect_process(st, files().song10);
}

// Six one-minute songs: cpu/wall near 2 means both cores were busy.
void BM_MissingSixSongs(benchmark::State& st)
{
    static tsup::TempDir home;
    static std::vector<std::string> paths = [] {
        std::vector<std::string> p;
        std::vector<float> x = song_samples(60);
        for (int i = 0; i < 6; ++i) {
            p.push_back(home / ("music/s" + std::to_string(i) + ".mp3"));
            write_mp3(p.back(), x);
        }
        Library lib;
        lib.catalog_path = home / ".lumoramusic/library.toml";
        for (const std::string& s : p) lib.tracks.push_back(Track{s, "S", "", "", "", 60});
        lib.save_catalog();
        return p;
    }();
    double ratio = 0, cpu = 0;
    for (auto _ : st) {
        for (const std::string& s : paths) std::remove(chords_path(s).c_str());
        Measured m = run_measured(home.path(), {"chords", "--missing"});
        if (m.status != 0) st.SkipWithError("chords --missing failed");
        st.SetIterationTime(m.wall_ms / 1e3);
        ratio = m.cpu_ms / m.wall_ms;
        cpu = m.cpu_ms;
    }
    st.counters["cpu_per_wall"] = ratio;
    st.counters["cpu_ms"] = cpu;
}

}  // namespace

BENCHMARK(BM_AnalyseDecoded4Min)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(BM_DetectProcess4MinMp3)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(BM_DetectProcess10MinPeakMemory)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_MissingSixSongs)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK_MAIN();
