// Moving songs into place. A file is first hard-linked to its target, so that
// at every moment both the old and the new name hold it: an interruption can
// leave a spare name behind, never a lost file or a record naming nothing.
// The old names go only after the records point at the new ones.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>

#include "cli/org.h"
#include "core/file_names.h"
#include "core/state.h"

void org_test_abort(const char* stage, size_t done)
{
    const char* at = std::getenv("LUMORA_TEST_ORG_ABORT");
    if (!at) return;
    std::string want = std::string(stage) + ":" + std::to_string(done);
    if (want == at) ::raise(SIGKILL);
}

namespace {

bool exists_l(const std::string& p)
{
    struct stat st {};
    return ::lstat(p.c_str(), &st) == 0;
}

}  // namespace

bool org_link_or_rename(const std::string& from, const std::string& to, bool& linked)
{
    linked = ::link(from.c_str(), to.c_str()) == 0;
    if (linked) return true;
    // Folders without hard links: rename, but never over an existing name.
    if (errno != EPERM && errno != EOPNOTSUPP && errno != EMLINK && errno != ENOSYS) return false;
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    if (exists_l(to)) {
        errno = EEXIST;
        return false;
    }
    return ::rename(from.c_str(), to.c_str()) == 0;
}

namespace {

bool same_file(const std::string& a, const std::string& b)
{
    struct stat sa {}, sb {};
    return ::lstat(a.c_str(), &sa) == 0 && ::lstat(b.c_str(), &sb) == 0 &&
           sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// The same directory entry under two spellings ("a//b", a symlinked folder).
bool same_entry(const std::string& a, const std::string& b)
{
    if (a == b) return true;
    char ra[PATH_MAX], rb[PATH_MAX];
    std::string da = path_dir(a), db = path_dir(b);
    if (!::realpath(da.c_str(), ra) || !::realpath(db.c_str(), rb)) return false;
    return std::strcmp(ra, rb) == 0 && io_file_name(a) == io_file_name(b);
}

enum class Placed { Failed, Linked, Renamed, Same };

// Puts `from` at `to` without ever replacing an existing file.
Placed place(const std::string& from, const std::string& to)
{
    if (same_entry(from, to)) return exists_l(from) ? Placed::Same : Placed::Failed;
    // The old name must be removable later, as a rename would need.
    if (::access(path_dir(from).c_str(), W_OK) != 0) return Placed::Failed;
    if (same_file(from, to)) return Placed::Linked;  // an earlier, interrupted run linked it
    bool linked = false;
    if (!org_link_or_rename(from, to, linked)) return Placed::Failed;
    return linked ? Placed::Linked : Placed::Renamed;
}

// A free target: the planned one, or "stem N.ext" beside it when taken by another file.
std::string free_target(const std::string& from, const std::string& to)
{
    if (!exists_l(to) || same_file(from, to)) return to;
    std::string ext = io_file_ext(to);
    return io_unique_path(path_dir(to), path_stem(to), ext);
}

void move_side_files(const std::string& from, const std::string& to, Move& done)
{
    std::string src_base = path_without_ext(from);
    std::string dst_base = path_without_ext(to);
    for (const std::string& suffix : org_side_suffixes()) {
        std::string src = src_base + suffix;
        if (!exists_l(src)) continue;
        Placed p = place(src, dst_base + suffix);
        if (p == Placed::Linked) done.drop.push_back(src);
    }
}

}  // namespace

std::vector<Move> org_move_files(const std::vector<Move>& moves, OrgJournal* journal)
{
    std::vector<Move> done;
    std::set<std::string> moved;
    for (const Move& m : moves) {
        if (!m.file) {
            done.push_back(m);
            if (journal) journal->add(m);
            continue;
        }
        state_mkdirs(path_dir(m.to));
        Move d{m.from, free_target(m.from, m.to), true, {}};
        Placed p = moved.count(m.from) ? (errno = ENOENT, Placed::Failed) : place(d.from, d.to);
        if (p == Placed::Failed) {
            std::fprintf(stderr, "skip %s: %s\n", m.from.c_str(), std::strerror(errno));
            continue;
        }
        moved.insert(m.from);
        if (p == Placed::Linked) d.drop.push_back(d.from);
        if (p != Placed::Same) move_side_files(d.from, d.to, d);
        if (journal) journal->add(d);
        done.push_back(d);
        org_test_abort("move", done.size());
    }
    return done;
}

void org_drop_sources(const std::vector<Move>& moves)
{
    size_t n = 0;
    for (const Move& m : moves) {
        std::string to_base = path_without_ext(m.to);
        for (const std::string& old : m.drop) {
            // Only a name whose file is safe under the new name goes.
            std::string now = old == m.from ? m.to : to_base + old.substr(path_without_ext(m.from).size());
            if (same_file(old, now) && !same_entry(old, now)) ::unlink(old.c_str());
        }
        org_test_abort("drop", ++n);
    }
}
