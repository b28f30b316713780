// Organize journals: the moves of one run, enough to undo it.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "cli/cli.h"
#include "cli/org.h"
#include "core/state.h"

std::string org_journal_header(const std::string& path)
{
    return "# Lumora Music organize journal \xE2\x80\x94 undo: lumora-music-cli organize --undo " +
           path + "\n\n";
}

std::string org_journal_entry(const Move& m)
{
    return "[[move]]\nfrom = \"" + io_toml_esc(m.from) + "\"\nto = \"" + io_toml_esc(m.to) +
           "\"\nfile = " + (m.file ? "true" : "false") + "\n\n";
}

std::string org_journal_new_path()
{
    std::string dir = cli_home() + "/organize";
    state_mkdirs(dir);
    char stamp[32];
    time_t now = std::time(nullptr);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", std::localtime(&now));
    // Two runs within one second must not share (and overwrite) a journal.
    std::string path = dir + "/" + stamp + ".toml";
    for (int n = 2; ::access(path.c_str(), F_OK) == 0; ++n)
        path = dir + "/" + stamp + "-" + std::to_string(n) + ".toml";
    return path;
}

static bool write_all(int fd, const std::string& s)
{
    size_t off = 0;
    while (off < s.size()) {
        ssize_t n = ::write(fd, s.data() + off, s.size() - off);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        off += static_cast<size_t>(n);
    }
    return true;
}

OrgJournal::~OrgJournal()
{
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

bool OrgJournal::open()
{
    path = org_journal_new_path();
    fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0644);
    return fd >= 0 && write_all(fd, org_journal_header(path));
}

bool OrgJournal::add(const Move& m)
{
    if (fd < 0 && !open()) return false;
    ++moves;
    return write_all(fd, org_journal_entry(m));
}

void OrgJournal::discard_if_empty()
{
    if (fd < 0 || moves > 0) return;
    ::close(fd);
    fd = -1;
    ::unlink(path.c_str());
    path.clear();
}

std::string org_journal_write(const std::vector<Move>& moves)
{
    std::string path = org_journal_new_path();
    std::string text = org_journal_header(path);
    for (const Move& m : moves) text += org_journal_entry(m);
    return state_write(path, text) ? path : "";
}

std::vector<Move> org_journal_read(const std::string& path, bool reverse)
{
    std::vector<Move> moves;
    std::string text;
    if (!state_read(path, text)) return moves;
    bool in_move = false;
    for (const std::string& line : state_lines(text)) {
        if (line == "[[move]]") {
            moves.push_back({"", "", true, {}});
            in_move = true;
        } else if (!in_move) {
            continue;
        } else if (line.rfind("from", 0) == 0) {
            moves.back().from = io_toml_str(line);
        } else if (line.rfind("to ", 0) == 0) {
            moves.back().to = io_toml_str(line);
        } else if (line.rfind("file", 0) == 0) {
            moves.back().file = line.find("true") != std::string::npos;
        }
    }
    // A move cut short (a journal torn by a crash) names no place to go back to.
    std::erase_if(moves, [](const Move& m) { return m.from.empty() || m.to.empty(); });
    if (reverse)
        for (Move& m : moves) std::swap(m.from, m.to);
    return moves;
}
