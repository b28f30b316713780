#include "lyrics/lrc.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "core/state.h"
#include "core/track.h"
#include "lyrics/cvl_cache.h"

namespace {

const std::string kEmpty;

// A run of at least one ASCII digit starting at i; returns the index after it
// (== i when there is none).
size_t digits_end(const std::string& s, size_t i)
{
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
    return i;
}

float read_num(const std::string& s, size_t a, size_t b)
{
    return static_cast<float>(std::strtod(s.substr(a, b - a).c_str(), nullptr));
}

void sort_lines(std::vector<LrcLine>& lines)
{
    std::stable_sort(lines.begin(), lines.end(),
                     [](const LrcLine& x, const LrcLine& y) { return x.t < y.t; });
}

}  // namespace

// Hand-written matcher for \[(\d+):(\d+)\.(\d+)\](.*) over the whole line:
// the same lines match as with a regular expression, but a long line cannot
// exhaust the stack the way a backtracking regex engine can.
bool lrc_parse_line(const std::string& line, LrcLine& out)
{
    if (line.empty() || line[0] != '[') return false;
    size_t m0 = 1, m1 = digits_end(line, m0);
    if (m1 == m0 || m1 >= line.size() || line[m1] != ':') return false;
    size_t s0 = m1 + 1, s1 = digits_end(line, s0);
    if (s1 == s0 || s1 >= line.size() || line[s1] != '.') return false;
    size_t f0 = s1 + 1, f1 = digits_end(line, f0);
    if (f1 == f0 || f1 >= line.size() || line[f1] != ']') return false;
    // '.' of the pattern matches neither line terminator.
    if (line.find_first_of("\r\n", f1 + 1) != std::string::npos) return false;
    std::string text = line.substr(f1 + 1);
    if (!text.empty() && text[0] == ' ') text.erase(0, 1);
    if (text.empty()) return false;
    float t = read_num(line, m0, m1) * 60.0f + read_num(line, s0, s1);
    out.t = t + read_num(line, f0, f1) * 0.01f;
    out.text = std::move(text);
    return true;
}

std::vector<LrcLine> lrc_parse(const std::string& text)
{
    std::vector<LrcLine> lines;
    LrcLine l;
    for (const std::string& raw : state_lines(text))
        if (lrc_parse_line(raw, l)) lines.push_back(l);
    sort_lines(lines);
    return lines;
}

bool lrc_read(const std::string& path, std::vector<LrcLine>& lines)
{
    lines.clear();
    std::string text;
    if (!state_read(path, text)) return false;
    lines = lrc_parse(text);
    return true;
}

std::string lrc_path(const std::string& song_path)
{
    // Same naming as every other side file, so the lyrics writer and this
    // reader agree on songs whose folder name has a dot.
    return path_without_ext(song_path) + ".lrc";
}

std::string lrc_stamp(float t)
{
    // Clamped so that absurd or infinite times still print as a time.
    double secs = t > 0.0f ? std::min(static_cast<double>(t), 1e9) : 0.0;
    long long cs = static_cast<long long>(secs * 100.0 + 0.5);
    char buf[64];
    std::snprintf(buf, sizeof buf, "[%02lld:%02lld.%02lld]", cs / 6000, (cs / 100) % 60, cs % 100);
    return buf;
}

std::string lrc_text(const std::vector<LrcLine>& lines)
{
    std::string out;
    // The reader drops one space after the stamp, so a text that starts with
    // a space gets one more to read back unchanged.
    for (const LrcLine& l : lines)
        out += lrc_stamp(l.t) + (l.text[0] == ' ' ? " " : "") + l.text + "\n";
    return out;
}

void LrcState::load(const std::string& song_path)
{
    clear();
    if (try_load_cvl_lyrics(song_path, lines)) {
        loaded = true;
        return;
    }
    lines.clear();
    lrc_read(lrc_path(song_path), lines);
    loaded = !lines.empty();
}

void LrcState::clear()
{
    lines.clear();
    cur = -1;
    loaded = false;
}

void LrcState::update(float t)
{
    auto it = std::upper_bound(lines.begin(), lines.end(), t,
                               [](float v, const LrcLine& l) { return v < l.t; });
    cur = static_cast<int>(it - lines.begin()) - 1;
}

const std::string& LrcState::current_text() const
{
    if (cur < 0 || cur >= static_cast<int>(lines.size())) return kEmpty;
    return lines[cur].text;
}

const std::string& LrcState::prev_text() const
{
    if (cur < 1 || cur - 1 >= static_cast<int>(lines.size())) return kEmpty;
    return lines[cur - 1].text;
}

const std::string& LrcState::next_text() const
{
    size_t n = static_cast<size_t>(cur + 1);
    if (cur < -1 || n >= lines.size()) return kEmpty;
    return lines[n].text;
}
