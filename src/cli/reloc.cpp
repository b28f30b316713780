// Relocate: the plan and the copying. A copy is written under a temporary name
// and renamed into place when complete, so an interrupted run never leaves a
// cut file under a song's name.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "cli/org.h"
#include "core/file_names.h"
#include "core/state.h"
#include "core/trash.h"

std::vector<Move> reloc_plan(const Library& library, const std::string& dir)
{
    std::vector<Move> moves;
    std::string prefix = library.scan_root + "/";
    auto under = [&](const std::string& p) { return p.compare(0, prefix.size(), prefix) == 0; };
    for (const Track& t : library.tracks) {
        struct stat st {};
        if (!under(t.path) || ::stat(t.path.c_str(), &st) != 0) continue;
        moves.push_back({t.path, dir + "/" + t.path.substr(prefix.size()), true, {}});
    }
    std::string text;
    state_read(trash_index_file(), text);
    for (const TrashEntry& e : trash_parse(text)) {
        if (!under(e.track.path)) continue;
        moves.push_back({e.track.path, dir + "/" + e.track.path.substr(prefix.size()), false, {}});
    }
    return moves;
}

namespace {

bool copy_fd(int in, int out)
{
    char buf[1 << 16];
    for (;;) {
        ssize_t n = ::read(in, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        for (ssize_t off = 0; off < n;) {
            ssize_t w = ::write(out, buf + off, static_cast<size_t>(n - off));
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) return false;
            off += w;
        }
    }
}

bool copy_new(const std::string& from, const std::string& to)
{
    std::string tmp = path_dir(to) + "/." + io_file_name(to) + ".lumora-part";
    int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return false;
    int out = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    bool ok = out >= 0 && copy_fd(in, out) && ::fsync(out) == 0;
    if (out >= 0 && ::close(out) != 0) ok = false;
    ::close(in);
    // The finished temporary gets its final name, never replacing an existing
    // file; drives without hard links (FAT, exFAT) rename it instead.
    bool linked = false;
    ok = ok && org_link_or_rename(tmp, to, linked);
    ::unlink(tmp.c_str());
    return ok;
}

}  // namespace

bool reloc_copy_one(const std::string& from, const std::string& to)
{
    state_mkdirs(path_dir(to));
    struct stat ts {};
    bool ok = ::stat(to.c_str(), &ts) == 0 || copy_new(from, to);
    struct stat fs {};
    if (::stat(from.c_str(), &fs) != 0) return false;
    struct timespec times[2] = {fs.st_atim, fs.st_mtim};
    if (::utimensat(AT_FDCWD, to.c_str(), times, 0) != 0) ok = false;
    return ok && ::stat(to.c_str(), &ts) == 0 && ts.st_size == fs.st_size;
}

std::vector<Move> reloc_copy_files(const std::vector<Move>& moves)
{
    std::vector<Move> done;
    for (const Move& m : moves) {
        if (m.file && !reloc_copy_one(m.from, m.to)) {
            std::fprintf(stderr, "skip %s: copy failed or size differs\n", m.from.c_str());
            continue;
        }
        if (m.file) {
            std::string src = path_without_ext(m.from), dst = path_without_ext(m.to);
            for (const std::string& suffix : org_side_suffixes()) {
                struct stat st {};
                if (::stat((src + suffix).c_str(), &st) == 0) reloc_copy_one(src + suffix, dst + suffix);
            }
        }
        done.push_back(m);
        org_test_abort("copy", done.size());
    }
    return done;
}
