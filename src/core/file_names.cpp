#include "core/file_names.h"

#include <cstdio>
#include <sys/stat.h>

#include "core/originals.h"

uint64_t io_hash64(const std::string& s)
{
    uint64_t h = 1469598103934665603ULL;
    for (unsigned char c : s) {
        h ^= c;
        h *= 1099511628211ULL;
    }
    return h;
}

std::string io_hash_hex(const std::string& s)
{
    char buf[17];
    std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(io_hash64(s)));
    return buf;
}

static bool entry_exists(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

std::string io_unique_path(const std::string& dir, const std::string& stem, const std::string& ext)
{
    std::string path = dir + "/" + stem + ext;
    for (int n = 2; entry_exists(path); ++n) path = dir + "/" + stem + " " + std::to_string(n) + ext;
    return path;
}

std::string io_file_name(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string io_file_ext(const std::string& path)
{
    std::string name = io_file_name(path);
    size_t dot = name.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? std::string() : name.substr(dot);
}

std::string io_backup_path(const std::string& song)
{
    return io_originals_dir() + "/" + io_hash_hex(song) + "-" + io_file_name(song);
}
