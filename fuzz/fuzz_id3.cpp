// libFuzzer entry for the ID3 tag, picture and header-length readers. Not part of the CMake
// build; build and run by hand:
//
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -I src \
//     fuzz/fuzz_id3.cpp src/core/tags_id3.cpp src/core/cover.cpp src/core/track.cpp \
//     src/core/tags_container.cpp src/core/decode_open.cpp src/core/duration.cpp \
//     src/core/duration_mp3.cpp src/core/duration_lossless.cpp \
//     $(pkg-config --libs libavformat libavcodec libavutil) -o fuzz_id3
//   ./fuzz_id3 -max_total_time=60 -max_len=4096
//
// The readers take paths, so each input is written to one temporary file.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "core/duration.h"
#include "core/duration_lossless.h"
#include "core/tags.h"

namespace {

const std::string& scratch_path()
{
    static std::string path = [] {
        // An .mp3 name, so the length reader tries its MP3 frame walk too.
        char name[] = "/tmp/fuzz-id3-XXXXXX.mp3";
        int fd = mkstemps(name, 4);
        if (fd < 0) std::abort();
        close(fd);
        return std::string(name);
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string& path = scratch_path();
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    Track t;
    t.path = path;
    read_id3_tags(t);
    read_id3v1(path, t);
    std::vector<unsigned char> pic;
    apic_bytes(path, pic);
    DurationFrames d;
    duration_frames(path, d);
    flac_duration_frames(path, d);
    wav_duration_frames(path, d);

    int type = 0;
    apic_payload(data, size, pic, type);
    utf16_to_utf8(data, size);
    if (size > 0) skip_desc(data, size, data[0] % (size + 1), data[0] & 3);
    return 0;
}
