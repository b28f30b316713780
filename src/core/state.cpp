#include "core/state.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <atomic>
#include <charconv>

std::string state_home()
{
    // Without HOME the state folder sits in the current folder, as the
    // command-line tool's does, so both always find the same files (the root
    // folder, the other choice, is not writable for a user anyway).
    const char* home = std::getenv("HOME");
    std::string dir = std::string(home ? home : ".") + "/.lumoramusic";
    ::mkdir(dir.c_str(), 0755);
    return dir;
}

std::string state_path(const std::string& name)
{
    return state_home() + "/" + name;
}

bool state_read(const std::string& path, std::string& out)
{
    out.clear();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        return false;
    }
    if (st.st_size > 0) out.reserve(static_cast<size_t>(st.st_size));
    char buf[1 << 16];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        out.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return true;
}

bool state_mkdirs(const std::string& dir)
{
    if (dir.empty()) return false;
    struct stat st {};
    if (::stat(dir.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    size_t slash = dir.find_last_of('/');
    if (slash != std::string::npos && slash > 0) state_mkdirs(dir.substr(0, slash));
    if (::mkdir(dir.c_str(), 0755) == 0 || errno == EEXIST) return true;
    return false;
}

static bool write_all(int fd, const std::string& content)
{
    size_t off = 0;
    while (off < content.size()) {
        ssize_t n = ::write(fd, content.data() + off, content.size() - off);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        off += static_cast<size_t>(n);
    }
    return true;
}

bool state_write(const std::string& path, const std::string& content)
{
    size_t slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0) state_mkdirs(path.substr(0, slash));
    // The temporary name carries the process id and a counter: two programs (or
    // two threads) saving the same file at once must never share a half-written
    // temporary, or the rename could publish a mix of both.
    static std::atomic<unsigned> counter{0};
    std::string tmp = path + "." + std::to_string(::getpid()) + "-" +
                      std::to_string(counter++) + ".tmp";
    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool ok = write_all(fd, content);
    if (::close(fd) != 0) ok = false;
    if (ok && ::rename(tmp.c_str(), path.c_str()) == 0) return true;
    ::unlink(tmp.c_str());
    return false;
}

std::string state_meta(const std::string& label)
{
    return "label = \"" + io_toml_esc(label) + "\"\ntime = " +
           std::to_string(static_cast<long long>(std::time(nullptr))) + "\n";
}

std::string state_meta_label(const std::string& dir)
{
    std::string text;
    if (!state_read(dir + "/meta.toml", text)) return "";
    for (const std::string& line : state_lines(text))
        if (line.rfind("label", 0) == 0) return io_toml_str(line);
    return "";
}

std::string io_toml_esc(const std::string& s)
{
    bool plain = true;
    for (char c : s) plain = plain && c != '\\' && c != '"';
    if (plain) return s;
    std::string out;
    out.reserve(s.size() + 2);
    for (char c : s) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out;
}

std::string io_toml_str(const std::string& line)
{
    size_t a = line.find('"');
    size_t b = line.rfind('"');
    if (a == std::string::npos || b == a) return "";
    std::string out;
    for (size_t i = a + 1; i < b; ++i) {
        if (line[i] == '\\' && i + 1 < b) {
            out += line[++i];
        } else {
            out += line[i];
        }
    }
    return out;
}

std::vector<std::string> toml_str_list(const std::string& line)
{
    std::vector<std::string> out;
    size_t i = line.find('[');
    if (i == std::string::npos) return out;
    bool in_str = false;
    std::string cur;
    for (++i; i < line.size(); ++i) {
        char c = line[i];
        if (!in_str) {
            if (c == '"') {
                in_str = true;
                cur.clear();
            } else if (c == ']') {
                break;
            }
        } else if (c == '\\' && i + 1 < line.size()) {
            cur += line[++i];
        } else if (c == '"') {
            out.push_back(cur);
            in_str = false;
        } else {
            cur += c;
        }
    }
    return out;
}

std::string toml_str_list_write(const std::vector<std::string>& items)
{
    std::string out = "[";
    for (size_t i = 0; i < items.size(); ++i) {
        if (i) out += ", ";
        out += '"' + io_toml_esc(items[i]) + '"';
    }
    return out + "]";
}

std::string toml_key(const std::string& line)
{
    size_t end = line.find_first_of(" =");
    return line.substr(0, end);
}

std::string toml_value(const std::string& line)
{
    size_t eq = line.find('=');
    return eq == std::string::npos ? std::string() : line.substr(eq + 1);
}

double toml_num(const std::string& value)
{
    return std::strtod(value.c_str(), nullptr);
}

long long toml_int(const std::string& value)
{
    return std::strtoll(value.c_str(), nullptr, 10);
}

std::string toml_fmt(double v)
{
    // Same text as printf's %g, without printf's per-call parsing cost (the
    // points file writes two numbers per song).
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 6);
    return std::string(buf, res.ptr);
}

std::vector<std::string> state_lines(const std::string& content)
{
    std::vector<std::string> lines;
    state_each_line(content, [&](std::string_view line) { lines.emplace_back(line); });
    return lines;
}
