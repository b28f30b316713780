#include "support/support.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace tsup {

TempDir::TempDir()
{
    const char* base = std::getenv("TMPDIR");
    std::string tmpl = std::string(base && *base ? base : "/tmp") + "/lumora-test-XXXXXX";
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back('\0');
    if (!::mkdtemp(buf.data())) throw std::runtime_error("mkdtemp failed");
    path_ = buf.data();
}

TempDir::~TempDir()
{
    std::error_code ec;
    // Tests may leave read-only folders behind; make them writable before removing.
    for (auto it = fs::recursive_directory_iterator(path_, fs::directory_options::skip_permission_denied, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

ScopedEnv::ScopedEnv(const std::string& name, std::optional<std::string> value) : name_(name)
{
    if (const char* v = std::getenv(name.c_str())) old_ = v;
    if (value) ::setenv(name.c_str(), value->c_str(), 1);
    else ::unsetenv(name.c_str());
}

ScopedEnv::~ScopedEnv()
{
    if (old_) ::setenv(name_.c_str(), old_->c_str(), 1);
    else ::unsetenv(name_.c_str());
}

static std::vector<std::string> build_env(const RunOptions& opts)
{
    std::map<std::string, std::string> env;
    for (char** e = environ; *e; ++e) {
        std::string kv = *e;
        size_t eq = kv.find('=');
        if (eq != std::string::npos) env[kv.substr(0, eq)] = kv.substr(eq + 1);
    }
    for (const auto& u : opts.unset) env.erase(u);
    for (const auto& [k, v] : opts.env) env[k] = v;
    std::vector<std::string> out;
    for (const auto& [k, v] : env) out.push_back(k + "=" + v);
    return out;
}

static void drain(int fd, std::string& into, bool& open)
{
    char buf[8192];
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n > 0) into.append(buf, static_cast<size_t>(n));
    else if (n == 0 || errno != EINTR) open = false;
}

RunResult run(const std::vector<std::string>& argv, const RunOptions& opts)
{
    RunResult r;
    int out_p[2], err_p[2], in_p[2];
    if (::pipe2(out_p, O_CLOEXEC) || ::pipe2(err_p, O_CLOEXEC) || ::pipe2(in_p, O_CLOEXEC)) return r;
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_adddup2(&fa, in_p[0], 0);
    posix_spawn_file_actions_adddup2(&fa, out_p[1], 1);
    posix_spawn_file_actions_adddup2(&fa, err_p[1], 2);
    if (!opts.cwd.empty()) posix_spawn_file_actions_addchdir_np(&fa, opts.cwd.c_str());
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::vector<std::string> env = build_env(opts);
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    // Look the program up on the PATH the child will see.
    std::string prog = argv[0];
    pid_t pid = -1;
    int rc;
    {
        std::string old_path = std::getenv("PATH") ? std::getenv("PATH") : "";
        auto it = opts.env.find("PATH");
        if (it != opts.env.end()) ::setenv("PATH", it->second.c_str(), 1);
        rc = posix_spawnp(&pid, prog.c_str(), &fa, nullptr, args.data(), envp.data());
        if (it != opts.env.end()) ::setenv("PATH", old_path.c_str(), 1);
    }
    posix_spawn_file_actions_destroy(&fa);
    ::close(out_p[1]);
    ::close(err_p[1]);
    ::close(in_p[0]);
    if (rc != 0) {
        ::close(out_p[0]);
        ::close(err_p[0]);
        ::close(in_p[1]);
        return r;
    }
    if (!opts.input.empty()) {
        signal(SIGPIPE, SIG_IGN);
        (void)!::write(in_p[1], opts.input.data(), opts.input.size());
    }
    ::close(in_p[1]);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(opts.timeout_s);
    bool out_open = true, err_open = true, killed = false;
    while (out_open || err_open) {
        pollfd fds[2] = {{out_p[0], POLLIN, 0}, {err_p[0], POLLIN, 0}};
        int n = ::poll(fds, 2, 200);
        if (n > 0) {
            if (out_open && (fds[0].revents & (POLLIN | POLLHUP))) drain(out_p[0], r.out, out_open);
            if (err_open && (fds[1].revents & (POLLIN | POLLHUP))) drain(err_p[0], r.err, err_open);
        }
        if (!killed && std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            killed = true;
        }
    }
    ::close(out_p[0]);
    ::close(err_p[0]);
    int st = 0;
    while (::waitpid(pid, &st, 0) < 0 && errno == EINTR) {}
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

RunResult run_cli(const std::string& home, const std::vector<std::string>& args, RunOptions opts)
{
    std::vector<std::string> argv{LUMORA_CLI_BIN};
    argv.insert(argv.end(), args.begin(), args.end());
    opts.env["HOME"] = home;
    if (!opts.env.count("XDG_DATA_HOME")) opts.env["XDG_DATA_HOME"] = home + "/.local/share";
    // Player tests may run at the same time: unless a test says otherwise, the
    // tool looks for a player name that no process has.
    if (!opts.env.count("LUMORA_MUSIC_APP_PROC")) opts.env["LUMORA_MUSIC_APP_PROC"] = "lumora-no-player";
    return run(argv, opts);
}

void write_file(const std::string& path, const std::string& bytes)
{
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f << bytes;
}

std::string read_file(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

bool exists(const std::string& path)
{
    return ::access(path.c_str(), F_OK) == 0;
}

void make_tone(const std::string& path, double seconds, int freq, const std::vector<std::string>& extra)
{
    fs::create_directories(fs::path(path).parent_path());
    std::vector<std::string> argv{"ffmpeg", "-nostdin", "-v", "error", "-y", "-f", "lavfi", "-i",
                                  "sine=frequency=" + std::to_string(freq) + ":sample_rate=44100:duration=" +
                                      std::to_string(seconds)};
    argv.insert(argv.end(), extra.begin(), extra.end());
    argv.push_back(path);
    RunResult r = run(argv);
    ASSERT_EQ(r.status, 0) << "ffmpeg failed for " << path << ": " << r.err;
}

double probe_seconds(const std::string& path)
{
    RunResult r = run({"ffprobe", "-v", "error", "-show_entries", "format=duration", "-of",
                       "default=noprint_wrappers=1:nokey=1", path});
    if (r.status != 0 || r.out.empty()) return -1;
    return std::strtod(r.out.c_str(), nullptr);
}

static std::string be32(uint32_t v)
{
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i) s[i] = static_cast<char>((v >> (24 - 8 * i)) & 0xFF);
    return s;
}

static std::string syncsafe(uint32_t v)
{
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i) s[i] = static_cast<char>((v >> (21 - 7 * i)) & 0x7F);
    return s;
}

std::string id3v2_tag(const std::vector<std::pair<std::string, std::string>>& frames, int version)
{
    std::string body;
    for (const auto& [id, text] : frames) {
        std::string payload = std::string(1, '\0') + text;
        body += id + (version >= 4 ? syncsafe(payload.size()) : be32(payload.size())) + std::string(2, '\0') + payload;
    }
    return std::string("ID3") + static_cast<char>(version) + '\0' + '\0' + syncsafe(body.size()) + body;
}

std::string id3v1_tag(const std::string& title, const std::string& artist, const std::string& album,
                      const std::string& year)
{
    auto field = [](const std::string& s, size_t n) {
        std::string f = s.substr(0, n);
        f.resize(n, '\0');
        return f;
    };
    std::string t = "TAG" + field(title, 30) + field(artist, 30) + field(album, 30) + field(year, 4);
    t.resize(128, '\0');
    return t;
}

}  // namespace tsup
