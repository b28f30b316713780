// Measured run of the player under Xvfb with a 20,000-track catalog and a
// 6-minute MP3: start to first frame, idle CPU, time from Play to sound, the
// longest frame around it, and resident memory. Prints medians.
#include <signal.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

#include "core/decode.h"
#include "core/library.h"
#include "support/app_support.h"
#include "support/support.h"

namespace {

void sleep_ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

// "trace: <key> <number>" from the player's stderr.
double trace_value(const std::string& err, const std::string& key) {
    size_t at = err.find("trace: " + key + " ");
    return at == std::string::npos ? -1.0 : std::atof(err.c_str() + at + 8 + key.size());
}

double cpu_seconds(int pid) {
    std::ifstream f("/proc/" + std::to_string(pid) + "/stat");
    std::string s((std::istreambuf_iterator<char>(f)), {});
    size_t p = s.rfind(')');
    if (p == std::string::npos) return -1;
    std::istringstream in(s.substr(p + 2));
    std::string field;
    unsigned long long ut = 0, st = 0;
    for (int i = 3; i <= 15 && in >> field; ++i) {
        if (i == 14) ut = std::stoull(field);
        if (i == 15) st = std::stoull(field);
    }
    return double(ut + st) / double(sysconf(_SC_CLK_TCK));
}

long status_kb(int pid, const std::string& key) {
    std::ifstream f("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(f, line))
        if (line.rfind(key + ":", 0) == 0) return std::atol(line.c_str() + key.size() + 1);
    return -1;
}

void make_catalog(const std::string& home) {
    Library lib;
    lib.catalog_path = home + "/.lumoramusic/library.toml";
    lib.scan_root = home + "/Music";
    Track first;
    first.path = home + "/Music/long.mp3";
    first.title = "Long";
    first.artist = "AAA";
    first.album = "AAA";
    first.duration = 360;
    lib.tracks.push_back(first);
    for (int i = 1; i < 20000; ++i) {
        Track t;
        t.artist = "Artist " + std::to_string(i / 200);
        t.album = "Album " + std::to_string(i / 12);
        t.title = "Song " + std::to_string(i);
        t.track_num = i % 12 + 1;
        t.duration = 180 + i % 120;
        t.path = home + "/Music/" + t.artist + "/" + t.album + "/" + t.title + ".mp3";
        lib.tracks.push_back(t);
    }
    std::system(("mkdir -p '" + home + "/.lumoramusic'").c_str());
    lib.save_catalog();
}

struct Bus {
    std::string address;
    int pid = -1;
    sd_bus* bus = nullptr;
    Bus() {
        tsup::RunResult r = tsup::run({"dbus-daemon", "--session", "--fork", "--nopidfile",
                                       "--print-address=1", "--print-pid=1"});
        std::istringstream in(r.out);
        in >> address >> pid;
        sd_bus_new(&bus);
        sd_bus_set_address(bus, address.c_str());
        sd_bus_set_bus_client(bus, 1);
        sd_bus_start(bus);
    }
    ~Bus() {
        sd_bus_unref(bus);
        if (pid > 0) kill(pid, SIGTERM);
    }
    bool call(const char* iface, const char* m) {
        return sd_bus_call_method(bus, "org.mpris.MediaPlayer2.lumora_music",
                                  "/org/mpris/MediaPlayer2", iface, m, nullptr, nullptr, "") >= 0;
    }
    double position() {
        int64_t us = -1;
        sd_bus_get_property_trivial(bus, "org.mpris.MediaPlayer2.lumora_music",
                                    "/org/mpris/MediaPlayer2", "org.mpris.MediaPlayer2.Player",
                                    "Position", nullptr, 'x', &us);
        return double(us) / 1e6;
    }
};

const char* kPlayerIface = "org.mpris.MediaPlayer2.Player";

std::map<std::string, std::string> app_env(const std::string& home, const std::string& bus) {
    return {{"HOME", home},
            {"XDG_DATA_HOME", home + "/.local/share"},
            {"SDL_AUDIODRIVER", "dummy"},
            {"LUMORA_TRACE", "1"},
            {"DBUS_SESSION_BUS_ADDRESS", bus}};
}

std::vector<std::string> app_argv() {
    return {"xvfb-run", "-a", "-s", "-screen 0 1600x1000x24", LUMORA_APP_BIN};
}

}  // namespace

void make_fixture(const std::string& home) {
    std::fprintf(stderr, "making a 6-minute MP3 and a 20,000-track catalog...\n");
    tsup::make_tone(home + "/Music/long.mp3", 360.0, 440,
                    {"-metadata", "title=Long", "-metadata", "artist=AAA", "-metadata", "album=AAA"});
    make_catalog(home);
}

// Usage: player_measure [RUNS]  |  player_measure --prepare HOME (fixture only)
int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--prepare") {
        make_fixture(argv[2]);
        return 0;
    }
    int runs = argc > 1 ? std::atoi(argv[1]) : 5;
    tsup::TempDir home;
    make_fixture(home.path());

    {
        std::vector<double> wall, cpu;
        for (int i = 0; i < runs; ++i) {
            timespec c0{}, c1{};
            clock_gettime(CLOCK_THREAD_CPUTIME_ID, &c0);
            auto t0 = std::chrono::steady_clock::now();
            std::vector<float> pcm;
            decode_audio(home / "Music/long.mp3", 44100, 2, pcm);
            wall.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
            clock_gettime(CLOCK_THREAD_CPUTIME_ID, &c1);
            cpu.push_back((c1.tv_sec - c0.tv_sec) * 1e3 + (c1.tv_nsec - c0.tv_nsec) / 1e6);
        }
        std::printf("whole decode of the 6-minute MP3 at 44.1 kHz stereo: median %.0f ms (CPU %.0f ms)\n",
                    median(wall), median(cpu));
    }
    std::vector<double> first, first_cpu;
    for (int i = 0; i < runs; ++i) {
        auto env = app_env(home.path(), "unix:path=" + home.path() + "/no-bus");
        env["LUMORA_QUIT_AFTER_FRAMES"] = "3";
        tsup::Background app(app_argv(), env, {}, home / "start");
        app.wait(60);
        std::string err = app.err();
        first.push_back(trace_value(err, "first frame"));
        size_t at = err.find("process CPU ", err.find("first frame"));
        first_cpu.push_back(at == std::string::npos ? -1 : std::atof(err.c_str() + at + 12));
    }
    std::printf("start to first frame, 20,000 tracks: median %.0f ms over %d runs\n",
                median(first), runs);
    std::printf("  process CPU by the first frame: median %.0f ms\n", median(first_cpu));

    std::vector<double> idle, playing_cpu, latency, longest, longest_cpu, rss, hwm;
    for (int i = 0; i < runs; ++i) {
        Bus bus;
        tsup::Background app(app_argv(), app_env(home.path(), bus.address), {}, home / "play");
        int pid = -1;
        for (int k = 0; k < 200 && pid <= 0; ++k, sleep_ms(50))
            pid = int(trace_value(app.err(), "pid"));
        for (int k = 0; k < 200 && bus.position() < 0; ++k) sleep_ms(50);
        sleep_ms(8000);  // settle: startup frames and the durations worker
        double c0 = cpu_seconds(pid);
        sleep_ms(10000);
        idle.push_back((cpu_seconds(pid) - c0) / 10.0 * 100.0);

        auto t0 = std::chrono::steady_clock::now();
        bus.call(kPlayerIface, "Play");
        while (bus.position() <= 0.0 &&
               std::chrono::steady_clock::now() - t0 < std::chrono::seconds(20))
            sleep_ms(5);
        latency.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
        sleep_ms(2000);
        double p0 = cpu_seconds(pid);
        sleep_ms(5000);
        playing_cpu.push_back((cpu_seconds(pid) - p0) / 5.0 * 100.0);
        rss.push_back(double(status_kb(pid, "VmRSS")) / 1024.0);
        hwm.push_back(double(status_kb(pid, "VmHWM")) / 1024.0);
        bus.call("org.mpris.MediaPlayer2", "Quit");
        app.wait(30);
        longest.push_back(trace_value(app.err(), "longest frame"));
        longest_cpu.push_back(trace_value(app.err(), "longest frame CPU"));
    }
    std::printf("idle (paused) CPU: median %.2f %% of one core\n", median(idle));
    std::printf("playing CPU: median %.1f %% of one core\n", median(playing_cpu));
    std::printf("Play to sound (position moving), 6-minute MP3: median %.0f ms\n", median(latency));
    std::printf("longest frame of the run (Play included): median %.1f ms\n", median(longest));
    std::printf("longest frame of the run in main-thread CPU: median %.1f ms\n", median(longest_cpu));
    std::printf("resident memory while playing: median %.0f MB (peak %.0f MB)\n", median(rss),
                median(hwm));
    return 0;
}
