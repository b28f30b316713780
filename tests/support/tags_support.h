// Hand-built ID3 bytes for the tag and cover tests, and the shared folder
// the file-reading suites make their sample files in.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "support/support.h"

namespace tsup {

// A folder that lives for one whole suite, so sample files slow to encode are
// made once and reused by every test of the suite. Suites run one at a time,
// so a single pointer serves them all.
class SuiteDirTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { dir_ = new TempDir; }
    static void TearDownTestSuite()
    {
        delete dir_;
        dir_ = nullptr;
    }
    static std::string file(const std::string& name) { return *dir_ / name; }
    static TempDir* dir_;
};

// A 32-bit size as ID3 writes it: sync-safe (7 bits a byte) or plain big-endian.
std::string id3_size(uint32_t v, bool syncsafe);
// One ID3v2 frame: 4-character ID, size (sync-safe for version 4), no flags, payload.
std::string id3_frame(const std::string& id, const std::string& payload, int version = 3);
// An ID3v2 tag of the given frames (already joined); `declared` overrides the header's size.
std::string id3_tag(const std::string& frames, int version = 3, int64_t declared = -1);
// An APIC payload: encoding, MIME type, picture type, description bytes (with
// their terminator, if any), picture data.
std::string apic_payload_bytes(int encoding, const std::string& mime, int type, const std::string& desc,
                               const std::string& data);
// Bytes that pass for a JPEG or PNG picture, distinguishable by `tag`.
std::string fake_jpeg(const std::string& tag);
std::string fake_png(const std::string& tag);

}  // namespace tsup
