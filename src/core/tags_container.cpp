// Tags and pictures of files without ID3 (FLAC, M4A, OGG, Opus, WMA, WAV):
// read through libavformat, which already parses each container's own tags.
#include <cctype>
#include <cstdlib>
#include <cstdio>
#include <cstring>

#include "core/decode_open.h"
#include "core/tags.h"

namespace {

// Format-level tags first (M4A, WMA, FLAC), then the audio stream's (Ogg
// keeps its comments there). Keys match in any case. Empty values count as absent.
std::string tag_value(const DecodeInput& in, const char* key)
{
    const AVDictionary* dicts[2] = {in.fmt->metadata, in.stream() ? in.stream()->metadata : nullptr};
    for (const AVDictionary* d : dicts) {
        const AVDictionaryEntry* e = d ? av_dict_get(d, key, nullptr, 0) : nullptr;
        if (e && e->value && e->value[0]) return e->value;
    }
    return "";
}

// Leading decimal digits ("2019-05-01" -> 2019, "7/12" -> 7); false without any.
bool leading_digits(const std::string& s, int32_t& out)
{
    size_t i = 0;
    while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
    int64_t v = 0;
    size_t start = i;
    for (; i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])) && v <= INT32_MAX; ++i)
        v = v * 10 + (s[i] - '0');
    if (i == start || v > INT32_MAX) return false;
    out = static_cast<int32_t>(v);
    return true;
}

bool take_text(const DecodeInput& in, const char* key, std::string& field)
{
    std::string v = tag_value(in, key);
    if (v.empty()) return false;
    field = v;
    return true;
}

bool take_number(const DecodeInput& in, const char* key, int32_t& field)
{
    std::string v = tag_value(in, key);
    int32_t n = 0;
    if (v.empty() || !leading_digits(v.substr(0, v.find('/')), n)) return false;
    field = n;
    return true;
}

}  // namespace

bool read_container_tags(Track& track)
{
    DecodeInput in;
    if (!decode_open(track.path, in, false)) return false;
    bool any = false;
    any |= take_text(in, "title", track.title);
    any |= take_text(in, "artist", track.artist);
    any |= take_text(in, "album", track.album);
    any |= take_text(in, "genre", track.genre);
    any |= take_number(in, "track", track.track_num);
    if (!take_number(in, "date", track.year)) any |= take_number(in, "year", track.year);
    else any = true;
    return any;
}

void read_song_tags(Track& track)
{
    // read_id3_tags is true exactly when the file has an ID3v2 header or an
    // ID3v1 trailer; only files with neither use the container's tags.
    if (!read_id3_tags(track)) read_container_tags(track);
}

bool container_cover_bytes(const std::string& path, std::vector<unsigned char>& out)
{
    out.clear();
    DecodeInput in;
    if (!decode_open(path, in, false)) return false;
    for (unsigned i = 0; i < in.fmt->nb_streams; ++i) {
        const AVStream* st = in.fmt->streams[i];
        if (!(st->disposition & AV_DISPOSITION_ATTACHED_PIC) || st->attached_pic.size <= 0) continue;
        out.assign(st->attached_pic.data, st->attached_pic.data + st->attached_pic.size);
        return true;
    }
    return false;
}
