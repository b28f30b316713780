// Running a child program without a shell, and the start-up sweep of
// temporary files left by interrupted jobs.
#include <cerrno>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include "audio/trim.h"
#include "core/library.h"

extern char** environ;

bool io_run_argv(const std::vector<std::string>& args)
{
    if (args.empty()) return false;
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (::posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
    int st = 0;
    while (::waitpid(pid, &st, 0) < 0) {
        if (errno != EINTR) return false;
    }
    return WIFEXITED(st) && WEXITSTATUS(st) == 0;
}

void io_sweep_parts(const Library& lib)
{
    for (const Track& t : lib.tracks) {
        for (const char* suffix : {".lumora-trim.part", ".lumora-restore.part"}) {
            std::string part = t.path + suffix;
            struct stat st {};
            if (::lstat(part.c_str(), &st) == 0) io_trash_file(part);
        }
    }
}
