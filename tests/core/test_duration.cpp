// Song lengths: the fast count must equal a full decode, sample for sample,
// for every catalog type and for the MP3 variants the frame walker handles
// (or declines).
#include <gtest/gtest.h>

#include "core/decode.h"
#include "core/duration.h"
#include "core/duration_lossless.h"
#include "core/duration_mp3.h"
#include "support/support.h"
#include "support/tags_support.h"

namespace {

class DurationTest : public tsup::SuiteDirTest {};

void expect_fast_equals_decoded(const std::string& path)
{
    DurationFrames fast, full;
    ASSERT_TRUE(duration_frames(path, fast));
    ASSERT_TRUE(duration_frames_decoded(path, full));
    EXPECT_EQ(fast.rate, full.rate);
    EXPECT_EQ(fast.frames, full.frames);
    EXPECT_EQ(estimate_mp3_duration(path), uint32_t((full.frames + full.rate / 2) / full.rate));
}

class DurationByType : public DurationTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(DurationByType, MatchesFullDecodeAroundHalfSeconds)
{
    // 2.49 and 2.51 s straddle the rounding boundary by ~10 ms, less than
    // the 529-sample decoder delay an MP3 count must get right.
    const std::string ext = GetParam();
    for (const char* len : {"2.49", "2.51", "6.5"}) {
        SCOPED_TRACE(ext + " " + len);
        std::string path = file(std::string("t") + len + "." + ext);
        tsup::make_tone(path, std::stod(len));
        expect_fast_equals_decoded(path);
    }
}

INSTANTIATE_TEST_SUITE_P(AllTypes, DurationByType,
                         ::testing::Values("mp3", "flac", "m4a", "wav", "ogg", "aac", "wma", "opus"));

TEST_F(DurationTest, GaplessTypesRoundToTheNearestSecond)
{
    // WAV and FLAC are exact; MP3 keeps its length through the LAME delays.
    struct Case {
        const char* ext;
        double len;
        uint32_t want;
    } cases[] = {{"wav", 2.49, 2}, {"wav", 2.51, 3}, {"flac", 2.49, 2}, {"flac", 2.51, 3},
                 {"mp3", 2.49, 2}, {"mp3", 2.51, 3}, {"wav", 0.4, 0},   {"wav", 0.6, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.ext) + " " + std::to_string(c.len));
        std::string path = file("r" + std::to_string(c.len) + "." + c.ext);
        tsup::make_tone(path, c.len);
        EXPECT_EQ(estimate_mp3_duration(path), c.want);
    }
}

TEST_F(DurationTest, DecodedCountAgreesWithTheDecoder)
{
    std::string path = file("cross.ogg");
    tsup::make_tone(path, 1.7);
    DurationFrames d;
    ASSERT_TRUE(duration_frames_decoded(path, d));
    std::vector<float> pcm;
    ASSERT_TRUE(decode_audio(path, d.rate, 1, pcm));
    EXPECT_EQ(static_cast<int64_t>(pcm.size()), d.frames);
}

TEST_F(DurationTest, Mp3VariantsMatchFullDecode)
{
    struct Case {
        const char* name;
        std::vector<std::string> opts;
    } cases[] = {
        {"cbr", {}},
        {"mono", {"-ac", "1"}},
        {"mpeg2", {"-ar", "22050"}},
        {"mpeg25", {"-ar", "11025"}},
        {"vbr", {"-q:a", "2"}},
        {"vbr_mono", {"-q:a", "6", "-ac", "1"}},
        {"no_xing", {"-write_xing", "0"}},
        {"no_id3", {"-id3v2_version", "0"}},
        {"b320", {"-b:a", "320k"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = file(std::string("v_") + c.name + ".mp3");
        tsup::make_tone(path, 3.49, 440, c.opts);
        expect_fast_equals_decoded(path);
        DurationFrames walked;
        EXPECT_TRUE(mp3_duration_frames(path, walked)) << "the frame walk should handle this file";
    }
}

std::string le32(uint32_t v)
{
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i) s[i] = static_cast<char>(v >> (8 * i));
    return s;
}

// An APEv2 tag with one item, with both its header and its footer.
std::string ape_tag(const std::string& key, const std::string& value)
{
    std::string item = le32(static_cast<uint32_t>(value.size())) + le32(0) + key + std::string(1, '\0') + value;
    uint32_t size = static_cast<uint32_t>(item.size() + 32);
    auto block = [&](uint32_t flags) {
        return "APETAGEX" + le32(2000) + le32(size) + le32(1) + le32(flags) + std::string(8, '\0');
    };
    return block(0xA0000000u) + item + block(0x80000000u);
}

TEST_F(DurationTest, Mp3WithOddTagsAndDamageMatchesFullDecode)
{
    std::string plain = file("plain.mp3");
    tsup::make_tone(plain, 3.51, 440, {"-id3v2_version", "0"});
    std::string audio = tsup::read_file(plain);
    std::string v2 = tsup::id3v2_tag({{"TIT2", "Song"}, {"TPE1", "Artist"}});
    std::string v1 = tsup::id3v1_tag("Song", "Artist", "Album", "2001");
    std::string padded = v2;
    // Grow the declared tag size by 4000 bytes of padding.
    padded[8] = static_cast<char>(padded[8] + 31);
    padded[9] = static_cast<char>(padded[9] + 32);
    padded += std::string(31 * 128 + 32, '\0');
    std::string ape = ape_tag("Title", "Song");
    // `walked`: whether the frame walk takes the file or leaves it to the decoder.
    struct Case {
        const char* name;
        std::string bytes;
        bool walked;
    } cases[] = {
        {"v2", v2 + audio, true},
        {"v1", audio + v1, true},
        {"v2v1", v2 + audio + v1, true},
        {"padded", padded + audio, true},
        {"ape", audio + ape, true},
        {"ape_v1", v2 + audio + ape + v1, true},
        {"two_v2", v2 + v2 + audio, false},
        {"cut_mid_frame", audio.substr(0, audio.size() - 200), false},
        {"junk_tail", audio + std::string(300, 'x'), false},
        {"junk_head", std::string(100, '\x55') + audio, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = file(std::string("o_") + c.name + ".mp3");
        tsup::write_file(path, c.bytes);
        expect_fast_equals_decoded(path);
        DurationFrames walked;
        EXPECT_EQ(mp3_duration_frames(path, walked), c.walked);
    }
}

TEST_F(DurationTest, FlacAndWavHeadersTakeOnlyWhatTheyAreSureOf)
{
    struct Made {
        const char* name;
        std::vector<std::string> opts;
    } made[] = {
        {"s16.flac", {}},
        {"mono24.flac", {"-ac", "1", "-ar", "48000", "-sample_fmt", "s32"}},
        {"small_blocks.flac", {"-frame_size", "1152"}},
        {"s16.wav", {}},
        {"mono24.wav", {"-ac", "1", "-c:a", "pcm_s24le"}},
        {"float.wav", {"-c:a", "pcm_f32le", "-ar", "48000"}},
        {"adpcm.wav", {"-c:a", "adpcm_ms"}},
    };
    for (const Made& m : made) tsup::make_tone(file(m.name), 4.51, 440, m.opts);
    std::string flac = tsup::read_file(file("s16.flac")), wav = tsup::read_file(file("s16.wav"));
    tsup::write_file(file("cut.flac"), flac.substr(0, flac.size() * 2 / 3));
    tsup::write_file(file("id3.flac"), tsup::id3v2_tag({{"TIT2", "x"}}) + flac);
    tsup::write_file(file("cut.wav"), wav.substr(0, wav.size() - 1001));
    tsup::write_file(file("chunk_after.wav"), wav + "LIST" + std::string("\x04\0\0\0abcd", 8));

    struct Case {
        const char* name;
        bool taken;
    } cases[] = {
        {"s16.flac", true},  {"mono24.flac", true}, {"small_blocks.flac", true}, {"cut.flac", false},
        {"id3.flac", false}, {"s16.wav", true},     {"mono24.wav", true},        {"float.wav", true},
        {"cut.wav", true},   {"chunk_after.wav", true}, {"adpcm.wav", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = file(c.name);
        expect_fast_equals_decoded(path);
        DurationFrames d;
        bool flac_type = std::string(c.name).ends_with(".flac");
        EXPECT_EQ(flac_type ? flac_duration_frames(path, d) : wav_duration_frames(path, d), c.taken);
    }
}

TEST_F(DurationTest, UnknownLengthIsZero)
{
    tsup::write_file(file("empty.mp3"), "");
    tsup::write_file(file("text.mp3"), "not audio\n");
    tsup::write_file(file("zeros.wav"), std::string(1000, '\0'));
    tsup::write_file(file("tag_only.mp3"), tsup::id3v2_tag({{"TIT2", "x"}}));
    for (const char* name : {"missing.mp3", "empty.mp3", "text.mp3", "zeros.wav", "tag_only.mp3"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(estimate_mp3_duration(file(name)), 0u);
    }
    EXPECT_EQ(estimate_mp3_duration(dir_->path()), 0u);
}

}  // namespace
