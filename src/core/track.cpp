#include "core/track.h"

#include <cctype>

#include "core/duration.h"
#include "core/tags.h"

namespace {

// Index of the extension's dot in the file name, or npos. A leading dot
// (".hidden") names the file, it is not an extension.
size_t ext_dot(const std::string& path)
{
    size_t slash = path.rfind('/');
    size_t name = slash == std::string::npos ? 0 : slash + 1;
    size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot <= name) return std::string::npos;
    return dot;
}

}  // namespace

bool is_audio_ext(const std::string& path)
{
    size_t dot = ext_dot(path);
    if (dot == std::string::npos) return false;
    std::string ext = path.substr(dot);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const char* e : {".mp3", ".flac", ".m4a", ".wav", ".ogg", ".aac", ".wma", ".opus"})
        if (ext == e) return true;
    return false;
}

std::string path_stem(const std::string& path)
{
    size_t slash = path.rfind('/');
    size_t name = slash == std::string::npos ? 0 : slash + 1;
    size_t dot = ext_dot(path);
    return path.substr(name, dot == std::string::npos ? std::string::npos : dot - name);
}

std::string path_without_ext(const std::string& path)
{
    size_t dot = ext_dot(path);
    return dot == std::string::npos ? path : path.substr(0, dot);
}

std::string path_dir(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

Track track_from_file(const std::string& path)
{
    Track t;
    t.path = path;
    t.title = path_stem(path);
    read_song_tags(t);
    t.duration = estimate_mp3_duration(path);
    return t;
}
