#include "support/tags_support.h"

namespace tsup {

TempDir* SuiteDirTest::dir_ = nullptr;

std::string id3_size(uint32_t v, bool syncsafe)
{
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i)
        s[i] = static_cast<char>(syncsafe ? (v >> (21 - 7 * i)) & 0x7F : (v >> (24 - 8 * i)) & 0xFF);
    return s;
}

std::string id3_frame(const std::string& id, const std::string& payload, int version)
{
    return id + id3_size(static_cast<uint32_t>(payload.size()), version >= 4) + std::string(2, '\0') + payload;
}

std::string id3_tag(const std::string& frames, int version, int64_t declared)
{
    uint32_t size = declared >= 0 ? static_cast<uint32_t>(declared) : static_cast<uint32_t>(frames.size());
    return std::string("ID3") + static_cast<char>(version) + std::string(2, '\0') + id3_size(size, true) + frames;
}

std::string apic_payload_bytes(int encoding, const std::string& mime, int type, const std::string& desc,
                               const std::string& data)
{
    return std::string(1, static_cast<char>(encoding)) + mime + std::string(1, '\0') +
           std::string(1, static_cast<char>(type)) + desc + data;
}

std::string fake_jpeg(const std::string& tag)
{
    return std::string("\xFF\xD8\xFF\xE0", 4) + "JFIF-" + tag;
}

std::string fake_png(const std::string& tag)
{
    return std::string("\x89PNG\r\n\x1A\n", 8) + "IHDR-" + tag;
}

}  // namespace tsup
