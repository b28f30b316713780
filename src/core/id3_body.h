// Loading an ID3v2 tag's header and body; shared by the tag and picture readers.
#pragma once
#include <string>
#include <vector>

// The file's ID3v2 major version and tag body (the bytes after the 10-byte
// header). The body holds what the file really has, at most the declared
// 28-bit size, so a lying size cannot cause a huge allocation. False when the
// file cannot be opened or does not start with "ID3".
bool id3_read_body(const std::string& path, int& version, std::vector<unsigned char>& body);
