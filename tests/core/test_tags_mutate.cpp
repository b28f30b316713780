// Seeded mutations of valid tag files (bit flips, lying sizes, cuts): the
// readers must neither crash nor hang nor return more than the file holds.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <random>

#include "core/tags.h"
#include "support/support.h"
#include "support/tags_support.h"

namespace {

using tsup::id3_frame;

std::string valid_file(int version)
{
    std::string utf16 = std::string("\x01\xFF\xFE", 3) + std::string("T\0i\0t\0l\0e\0\0\0", 12);
    std::string frames = id3_frame("TIT2", utf16, version) + id3_frame("TPE1", std::string("\0Artist", 7), version) +
                         id3_frame("TALB", std::string("\x03\xC3\xA9", 3), version) +
                         id3_frame("TRCK", std::string("\x00" "4/9", 4), version) +
                         id3_frame("APIC", tsup::apic_payload_bytes(1, "image/png", 0,
                                                                    std::string("\xFF\xFE" "d\0\0\0", 6),
                                                                    tsup::fake_png(std::string(200, 'p'))),
                                   version) +
                         id3_frame("APIC", tsup::apic_payload_bytes(0, "image/jpeg", 3, std::string("c\0", 2),
                                                                    tsup::fake_jpeg(std::string(300, 'j'))),
                                   version);
    return tsup::id3_tag(frames + std::string(64, '\0'), version) + std::string(400, '\x55') +
           tsup::id3v1_tag("Old", "Tag", "Here", "1990");
}

// Offsets of the size fields worth lying about: the tag header's and each frame's.
std::vector<size_t> size_fields(const std::string& f)
{
    std::vector<size_t> at{6};
    for (size_t pos = 10; pos + 10 <= f.size() && f[pos] >= 'A' && f[pos] <= 'Z';) {
        at.push_back(pos + 4);
        uint32_t n = 0;
        for (int i = 0; i < 4; ++i) n = n << (f[3] >= 4 ? 7 : 8) | static_cast<unsigned char>(f[pos + 4 + i]);
        pos += 10 + n;
    }
    return at;
}

std::string mutate(std::string f, const std::vector<size_t>& sizes, std::mt19937& rng)
{
    auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng); };
    if (f.empty()) return f;
    switch (pick(5)) {
    case 0:  // bit flips
        for (size_t i = 0, n = 1 + pick(8); i < n && !f.empty(); ++i) f[pick(f.size())] ^= static_cast<char>(1 << pick(8));
        break;
    case 1: {  // a size field lies
        size_t at = sizes[pick(sizes.size())];
        if (at + 4 > f.size()) break;
        static const uint32_t kLies[] = {0, 1, 9, 10, 11, 0x7F, 0x80, 0x7F7F7F7F, 0xFFFFFFFF, 0x0FFFFFFF};
        uint32_t v = pick(2) ? kLies[pick(std::size(kLies))] : static_cast<uint32_t>(rng());
        for (int i = 0; i < 4; ++i) f[at + i] = static_cast<char>(v >> (24 - 8 * i));
        break;
    }
    case 2:  // cut short
        f.resize(pick(f.size() + 1));
        break;
    case 3: {  // a run of zeros or 0xFF bytes
        size_t at = pick(f.size()), n = std::min(f.size() - at, 1 + pick(16));
        f.replace(at, n, std::string(n, pick(2) ? '\0' : '\xFF'));
        break;
    }
    default: {  // bytes removed from the middle
        size_t at = pick(f.size()), n = std::min(f.size() - at, 1 + pick(40));
        f.erase(at, n);
        break;
    }
    }
    return f;
}

TEST(TagsMutate, MutatedTagFilesAreReadSafely)
{
    tsup::TempDir dir;
    std::mt19937 rng(20261211);
    double worst_ms = 0;
    for (int version : {3, 4}) {
        const std::string base = valid_file(version);
        const std::vector<size_t> sizes = size_fields(base);
        ASSERT_EQ(sizes.size(), 7u);  // header and six frames: the fixture is what we think it is
        for (int i = 0; i < 1500; ++i) {
            std::string f = mutate(base, sizes, rng);
            if (i % 3 == 0) f = mutate(f, sizes, rng);
            // A fresh name each time: rewriting one file in place makes ext4
            // flush it on every close, which is far slower than the reading.
            const std::string path = dir / ("m" + std::to_string(version) + "_" + std::to_string(i) + ".mp3");
            tsup::write_file(path, f);
            auto t0 = std::chrono::steady_clock::now();
            Track t;
            t.path = path;
            read_id3_tags(t);
            Track u;
            read_id3v2(path, u);
            read_id3v1(path, u);
            std::vector<unsigned char> pic;
            bool got = apic_bytes(path, pic);
            double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
            worst_ms = std::max(worst_ms, ms);
            // Nothing read can outgrow the file (UTF-16 to UTF-8 grows by at most half).
            std::remove(path.c_str());
            ASSERT_LE(pic.size(), f.size()) << version << "/" << i;
            if (!got) {
                ASSERT_TRUE(pic.empty());
            }
            for (const std::string* s : {&t.title, &t.artist, &t.album, &t.genre})
                ASSERT_LE(s->size(), f.size() * 3 / 2 + 4) << version << "/" << i;
        }
    }
    EXPECT_LT(worst_ms, 1000.0);
}

TEST(TagsMutate, PictureHelpersOnRandomBuffers)
{
    std::mt19937 rng(7);
    std::vector<unsigned char> buf, out;
    for (int i = 0; i < 20000; ++i) {
        buf.resize(rng() % 64);
        // Mostly small byte values, so zeros and image signatures turn up often.
        for (auto& b : buf) b = static_cast<unsigned char>(rng() % 4 == 0 ? 0 : rng() % 3 == 0 ? 0xFF : rng());
        if (buf.size() > 6 && rng() % 4 == 0) buf[buf.size() - 5] = 0xD8;
        int type = -1;
        if (apic_payload(buf.data(), buf.size(), out, type)) {
            ASSERT_LE(out.size(), buf.size());
            ASSERT_TRUE(looks_img(out.data(), out.size()));
        }
        size_t pos = buf.empty() ? 0 : rng() % (buf.size() + 2);
        ASSERT_LE(skip_desc(buf.data(), buf.size(), pos, static_cast<int>(rng() % 4)), buf.size());
        ASSERT_LE(utf16_to_utf8(buf.data(), buf.size()).size(), buf.size() * 3 / 2);
    }
}

}  // namespace
