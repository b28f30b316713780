// Timings of the points history, the set command and backups on a large
// state folder. Prints the median of each measurement in milliseconds.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

#include "core/backup.h"
#include "core/history.h"
#include "core/library.h"
#include "core/points.h"
#include "support/support.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double ms_since(Clock::time_point t0)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

std::string song_path(int i)
{
    return "/home/me/Music/Artist " + std::to_string(i % 300) + "/Album " + std::to_string(i % 40) + "/Song " +
           std::to_string(i) + ".mp3";
}

void write_catalog(const std::string& home, int n)
{
    Library lib;
    lib.catalog_path = home + "/.lumoramusic/library.toml";
    lib.scan_root = "/home/me/Music";
    for (int i = 0; i < n; ++i) {
        Track t;
        t.path = song_path(i);
        t.title = "Song " + std::to_string(i);
        t.artist = "Artist " + std::to_string(i % 300);
        t.album = "Album " + std::to_string(i % 40);
        t.duration = 180 + i % 120;
        lib.tracks.push_back(t);
    }
    lib.save_catalog();
}

void write_points(int n)
{
    IoStore s;
    for (int i = 0; i < n; ++i) s[song_path(i)] = {float(i % 50), float(200 + i % 60)};
    io_store_save(s, io_store_file());
}

// Runs the tool silently; `cpu_ms` gets the child's user + system time.
int run_cli(const std::string& home, const std::vector<std::string>& args, double* cpu_ms = nullptr)
{
    std::vector<std::string> env_s;
    for (char** e = environ; *e; ++e)
        if (std::string(*e).rfind("HOME=", 0) != 0) env_s.push_back(*e);
    env_s.push_back("HOME=" + home);
    std::vector<char*> envp, argv;
    for (std::string& s : env_s) envp.push_back(s.data());
    envp.push_back(nullptr);
    std::string bin = LUMORA_CLI_BIN;
    argv.push_back(bin.data());
    std::vector<std::string> a = args;
    for (std::string& s : a) argv.push_back(s.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    int rc = posix_spawn(&pid, bin.c_str(), &fa, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&fa);
    if (rc != 0) return -1;
    int st = 0;
    struct rusage ru {};
    wait4(pid, &st, 0, &ru);
    if (cpu_ms)
        *cpu_ms = (ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) * 1000.0 +
                  (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1000.0;
    return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
}

}  // namespace

int main()
{
    const int kRuns = 15;
    {
        tsup::TempDir home;
        setenv("HOME", home.path().c_str(), 1);
        write_points(5000);
        hist_checkpoint();
        std::vector<double> pair, checkpoint_only;
        IoStore s = io_store_load(io_store_file());
        for (int r = 0; r < kRuns; ++r) {
            s[song_path(r)].in += 1;
            io_store_save(s, io_store_file());
            Clock::time_point t0 = Clock::now();
            hist_checkpoint();  // captures the edit as a step
            hist_commit("bench");  // equal now: compare only
            pair.push_back(ms_since(t0));
            t0 = Clock::now();
            hist_checkpoint();
            checkpoint_only.push_back(ms_since(t0));
        }
        std::printf("hist_checkpoint + hist_commit, 5000 songs (one push): median %.2f ms\n", median(pair));
        std::printf("hist_checkpoint, 5000 songs, nothing changed:       median %.2f ms\n", median(checkpoint_only));

        write_catalog(home.path(), 5000);
        std::vector<double> set_ms, set_cpu, base_ms, base_cpu;
        for (int r = 0; r < kRuns; ++r) {
            double cpu = 0;
            Clock::time_point t0 = Clock::now();
            int rc = run_cli(home.path(), {"set", "Song 4321", "--in", std::to_string(r % 30)}, &cpu);
            set_ms.push_back(ms_since(t0));
            set_cpu.push_back(cpu);
            if (rc != 0) std::fprintf(stderr, "set failed: %d\n", rc);
            t0 = Clock::now();
            run_cli(home.path(), {"no-such-command"}, &cpu);  // start-up and usage only
            base_ms.push_back(ms_since(t0));
            base_cpu.push_back(cpu);
        }
        std::printf("lumora-music-cli set, 5000 songs (whole process):   median %.2f ms wall, %.2f ms cpu\n",
                    median(set_ms), median(set_cpu));
        std::printf("lumora-music-cli start-up alone (usage text):       median %.2f ms wall, %.2f ms cpu\n",
                    median(base_ms), median(base_cpu));
    }
    {
        tsup::TempDir home;
        setenv("HOME", home.path().c_str(), 1);
        write_catalog(home.path(), 20000);
        write_points(5000);
        std::vector<double> b;
        for (int r = 0; r < kRuns; ++r) {
            Clock::time_point t0 = Clock::now();
            if (backup_create("bench").empty()) std::fprintf(stderr, "backup failed\n");
            b.push_back(ms_since(t0));
        }
        std::printf("backup_create, 20000-track catalog:                 median %.2f ms\n", median(b));
    }
    return 0;
}
