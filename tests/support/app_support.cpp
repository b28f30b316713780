#include "support/app_support.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stb/stb_image.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <thread>

#include "support/support.h"

extern char** environ;

namespace tsup {

static void put_le(std::string& s, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) s.push_back(char((v >> (8 * i)) & 0xff));
}

void write_wav_const(const std::string& path, int frames, int rate, double value) {
    const uint32_t data = uint32_t(frames) * 4u;
    std::string w = "RIFF";
    put_le(w, 36 + data, 4);
    w += "WAVEfmt ";
    put_le(w, 16, 4);
    put_le(w, 1, 2);  // PCM
    put_le(w, 2, 2);  // stereo
    put_le(w, uint32_t(rate), 4);
    put_le(w, uint32_t(rate) * 4u, 4);
    put_le(w, 4, 2);
    put_le(w, 16, 2);
    w += "data";
    put_le(w, data, 4);
    int16_t s = int16_t(std::lround(value * 32768.0 > 32767 ? 32767 : value * 32768.0));
    for (int i = 0; i < frames * 2; ++i) put_le(w, uint16_t(s), 2);
    write_file(path, w);
}

Background::Background(const std::vector<std::string>& argv,
                       const std::map<std::string, std::string>& env,
                       const std::vector<std::string>& unset, const std::string& log_base)
    : out_path_(log_base + ".out"), err_path_(log_base + ".err") {
    std::map<std::string, std::string> all;
    for (char** e = environ; *e; ++e) {
        std::string kv = *e;
        size_t eq = kv.find('=');
        if (eq != std::string::npos) all[kv.substr(0, eq)] = kv.substr(eq + 1);
    }
    for (const auto& u : unset) all.erase(u);
    for (const auto& [k, v] : env) all[k] = v;
    std::vector<std::string> envs;
    for (const auto& [k, v] : all) envs.push_back(k + "=" + v);
    std::vector<char*> envp, args;
    for (auto& e : envs) envp.push_back(e.data());
    envp.push_back(nullptr);
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 1, out_path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&fa, 2, err_path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawnattr_t at;
    posix_spawnattr_init(&at);
    // Its own process group, so Xvfb and the player are killed together.
    posix_spawnattr_setflags(&at, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&at, 0);
    pid_t pid = -1;
    if (posix_spawnp(&pid, args[0], &fa, &at, args.data(), envp.data()) == 0) pid_ = pid;
    posix_spawnattr_destroy(&at);
    posix_spawn_file_actions_destroy(&fa);
}

Background::~Background() {
    if (pid_ > 0) {
        ::kill(-pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
}

int Background::wait(int timeout_s) {
    if (pid_ <= 0) return status_;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout_s);
    for (;;) {
        int st = 0;
        pid_t r = ::waitpid(pid_, &st, WNOHANG);
        if (r == pid_) {
            pid_ = -1;
            status_ = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
            return status_;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(-pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
            pid_ = -1;
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

std::string Background::out() const { return exists(out_path_) ? read_file(out_path_) : ""; }
std::string Background::err() const { return exists(err_path_) ? read_file(err_path_) : ""; }

RgbImage read_png(const std::string& path) {
    RgbImage img;
    int n = 0;
    unsigned char* p = stbi_load(path.c_str(), &img.w, &img.h, &n, 3);
    if (!p) return RgbImage{};
    img.px.assign(p, p + size_t(img.w) * size_t(img.h) * 3);
    stbi_image_free(p);
    return img;
}

}  // namespace tsup
