#include "support/cut_support.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <cstring>

#include "support/support.h"

namespace tsup {

std::vector<float> decode_mono(const std::string& path, int rate)
{
    RunResult r = run({"ffmpeg", "-nostdin", "-v", "error", "-i", path, "-ac", "1", "-ar", std::to_string(rate),
                       "-f", "f32le", "-"});
    std::vector<float> s;
    if (r.status != 0) return s;
    s.resize(r.out.size() / sizeof(float));
    std::memcpy(s.data(), r.out.data(), s.size() * sizeof(float));
    return s;
}

double rms(const std::vector<float>& s, double from, double to, int rate)
{
    size_t a = static_cast<size_t>(std::max(0.0, from * rate));
    size_t b = std::min(s.size(), static_cast<size_t>(to * rate));
    if (b <= a) return 0;
    double sum = 0;
    for (size_t i = a; i < b; ++i) sum += double(s[i]) * s[i];
    return std::sqrt(sum / double(b - a));
}

std::string probe_tag(const std::string& path, const std::string& key)
{
    RunResult r = run({"ffprobe", "-v", "error", "-show_entries", "format_tags=" + key, "-of",
                       "default=noprint_wrappers=1:nokey=1", path});
    std::string v = r.out;
    while (!v.empty() && (v.back() == '\n' || v.back() == '\r')) v.pop_back();
    return v;
}

bool has_cover(const std::string& path)
{
    RunResult r = run({"ffprobe", "-v", "error", "-select_streams", "v", "-show_entries", "stream=codec_type", "-of",
                       "csv=p=0", path});
    return r.out.find("video") != std::string::npos;
}

std::string make_cover_png(const std::string& dir)
{
    std::string png = dir + "/cover.png";
    RunResult r = run({"ffmpeg", "-nostdin", "-v", "error", "-y", "-f", "lavfi", "-i", "color=c=red:s=64x64",
                       "-frames:v", "1", png});
    EXPECT_EQ(r.status, 0) << r.err;
    return png;
}

void write_script(const std::string& path, const std::string& body)
{
    write_file(path, "#!/bin/sh\n" + body + "\n");
    ::chmod(path.c_str(), 0755);
}

}  // namespace tsup
