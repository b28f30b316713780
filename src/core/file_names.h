// Naming helpers for files made beside songs and in the state folder.
#pragma once
#include <cstdint>
#include <string>

// Stable 64-bit hash of a string (FNV-1a).
uint64_t io_hash64(const std::string& s);
// The hash as 16 lower-case hexadecimal digits.
std::string io_hash_hex(const std::string& s);
// dir/stem+ext, or the first free dir/stem N+ext (N = 2, 3, ...).
std::string io_unique_path(const std::string& dir, const std::string& stem, const std::string& ext);
// io_originals_dir() + "/" + hash hex of the path + "-" + file name.
std::string io_backup_path(const std::string& song);
// File name part of a path ("/a/b.mp3" -> "b.mp3").
std::string io_file_name(const std::string& path);
// Extension with its dot ("/a/b.mp3" -> ".mp3"; "" when none).
std::string io_file_ext(const std::string& path);
