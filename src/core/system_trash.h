// The desktop's Trash (the freedesktop.org Trash layout): home trash in
// $XDG_DATA_HOME/Trash, per-volume $mount/.Trash-$UID for other file systems.
#pragma once
#include <string>
#include <vector>

// Moves a file or folder to the Trash with its .trashinfo record; true on success.
bool io_trash_file(const std::string& path);
// Mount point of the file system holding `path` (from /proc/self/mountinfo);
// "" when it cannot be found.
std::string sys_mount_point(const std::string& path);
// Folder part of a path ("/a/b" -> "/a", "/b" -> "/", "b" -> ".").
std::string path_dir_of(const std::string& path);
