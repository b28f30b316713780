// Format choice and the ffmpeg argument list of a cut.
#include "audio/trim.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

std::string io_ffmpeg_find(const std::string& path_env)
{
    // The conventional local-install folder comes last, after everything on PATH.
    std::string list = path_env + ":/usr/local/bin";
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(':', start);
        if (end == std::string::npos) end = list.size();
        if (end > start) {
            std::string cand = list.substr(start, end - start) + "/ffmpeg";
            struct stat st {};
            if (::access(cand.c_str(), X_OK) == 0 && ::stat(cand.c_str(), &st) == 0 && S_ISREG(st.st_mode))
                return cand;
        }
        start = end + 1;
    }
    return "";
}

const std::string& io_ffmpeg_path()
{
    static std::once_flag once;
    static std::string path;
    std::call_once(once, [] {
        const char* env = std::getenv("PATH");
        path = io_ffmpeg_find(env ? env : "");
    });
    return path;
}

TrimFormat io_trim_format(const std::string& path)
{
    std::string ext = io_file_ext(path);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext == ".mp3") return {"mp3", {"-c:a", "libmp3lame", "-q:a", "0"}, true};
    if (ext == ".m4a") return {"ipod", {"-c:a", "aac", "-b:a", "256k"}, true};
    if (ext == ".aac") return {"adts", {"-c:a", "aac", "-b:a", "256k"}, false};
    if (ext == ".flac") return {"flac", {"-c:a", "flac"}, true};
    if (ext == ".ogg") return {"ogg", {"-c:a", "libvorbis", "-q:a", "6"}, false};
    if (ext == ".opus") return {"opus", {"-c:a", "libopus", "-b:a", "160k"}, false};
    if (ext == ".wma") return {"asf", {"-c:a", "wmav2", "-b:a", "192k"}, false};
    return {"wav", {"-c:a", "pcm_s16le"}, false};
}

static std::string secs(double v)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.3f", v);
    return buf;
}

// Half-sine fades; the cut's time line starts at the In point.
static std::string fade_filter(double len, double fade_in, double fade_out)
{
    std::string f;
    if (fade_in > 0) f = "afade=t=in:st=0:d=" + secs(fade_in) + ":curve=hsin";
    if (fade_out > 0) {
        if (!f.empty()) f += ",";
        f += "afade=t=out:st=" + secs(len - fade_out) + ":d=" + secs(fade_out) + ":curve=hsin";
    }
    return f;
}

std::vector<std::string> io_trim_args(const std::string& ffmpeg, const std::string& src, const std::string& dst,
                                      double in, double out, double fade_in, double fade_out,
                                      const std::string& title)
{
    TrimFormat fmt = io_trim_format(src);
    std::vector<std::string> a = {ffmpeg, "-nostdin", "-y", "-v", "error", "-ss", secs(in), "-i", src,
                                  "-t", secs(out - in), "-map", "0:a:0", "-map_metadata", "0"};
    if (fmt.cover) a.insert(a.end(), {"-map", "0:v?", "-c:v", "copy"});
    std::string filter = fade_filter(out - in, fade_in, fade_out);
    if (!filter.empty()) a.insert(a.end(), {"-af", filter});
    a.insert(a.end(), fmt.codec.begin(), fmt.codec.end());
    if (!title.empty()) a.insert(a.end(), {"-metadata", "title=" + title});
    a.insert(a.end(), {"-f", fmt.container, dst});
    return a;
}

bool io_trim_file(const std::string& src, const std::string& dst, double in, double out, double fade_in,
                  double fade_out, const std::string& title)
{
    if (!(in < out) || io_ffmpeg_path().empty()) return false;
    return io_run_argv(io_trim_args(io_ffmpeg_path(), src, dst, in, out, fade_in, fade_out, title));
}
