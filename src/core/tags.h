// Tag and cover reading: a forgiving ID3v1/ID3v2 reader, container tags read
// through libavformat for files without ID3, and cover pictures.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/track.h"

// ID3v2 first; ID3v1 only when the file has no ID3v2 header.
bool read_id3_tags(Track& track);
bool read_id3v2(const std::string& path, Track& track);
bool read_id3v1(const std::string& path, Track& track);
// Title, artist, album, genre, track number and year from the container's
// own tags (FLAC, M4A, OGG, Opus, WMA, ...); false when none could be read.
bool read_container_tags(Track& track);
// What a song entering the catalog gets: the ID3 reader when the file has an
// ID3 tag, the container's tags otherwise.
void read_song_tags(Track& track);

// Embedded ID3v2 picture (front cover preferred).
bool apic_bytes(const std::string& path, std::vector<unsigned char>& out);
// Embedded picture of a file without ID3 (attached picture stream).
bool container_cover_bytes(const std::string& path, std::vector<unsigned char>& out);
// First usable cover image file in the song's folder.
bool folder_cover_bytes(const std::string& song_path, std::vector<unsigned char>& out);
// The cover for a song: embedded ID3 picture, container picture, folder image.
bool song_cover_bytes(const std::string& path, std::vector<unsigned char>& out);

uint32_t apic_syncsafe(const unsigned char* p);
uint32_t apic_frame_sz(const unsigned char* p, int version);
bool looks_img(const unsigned char* p, size_t n);
size_t skip_desc(const unsigned char* p, size_t n, size_t pos, int encoding);
bool apic_payload(const unsigned char* frame, size_t n, std::vector<unsigned char>& out, int& type);
std::string utf16_to_utf8(const unsigned char* p, size_t n);
