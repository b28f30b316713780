#include "chords/chordpro.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>
#include <unordered_map>

#include "core/state.h"

namespace {

constexpr size_t kWindow = 8;       // lyric lines a ChordPro line may look ahead
constexpr float kMinScore = 0.4999f;

std::string trim_blanks(const std::string& s)
{
    size_t a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return "";
    size_t b = s.find_last_not_of(" \t");
    return s.substr(a, b - a + 1);
}

bool word_byte(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c >= 128;
}

// Best lyric line in [from, from + kWindow) for `words`, or -1.
int best_line(const std::vector<std::string>& words, const std::vector<LrcLine>& lyrics,
              size_t from)
{
    int best = -1;
    float best_score = kMinScore;
    size_t end = std::min(lyrics.size(), from + kWindow);
    for (size_t i = from; i < end; ++i) {
        float s = lyric_match(words, lyric_words(lyrics[i].text));
        if (s > best_score) {
            best_score = s;
            best = static_cast<int>(i);
        }
    }
    return best;
}

}  // namespace

std::string chordpro_line(const std::string& line, std::vector<ChoMark>& marks)
{
    marks.clear();
    size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == '{' || line[first] == '#') return "";
    std::string text;
    // Knowing where the last ']' is keeps a line full of unmatched '[' linear.
    size_t last_close = line.rfind(']');
    for (size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (c == '[' && last_close != std::string::npos && last_close > i) {
            size_t close = line.find(']', i + 1);
            marks.push_back({text.size(), line.substr(i + 1, close - i - 1)});
            i = close;
            continue;
        }
        if (c != '\r') text += c;
    }
    return text;
}

void chordpro_meta(const std::string& text, ChordSheet& sheet)
{
    bool key_set = false, tempo_set = false;
    for (const std::string& line : state_lines(text)) {
        size_t open = line.find('{');
        if (open == std::string::npos) continue;
        size_t colon = line.find(':', open);
        if (colon == std::string::npos) continue;
        size_t close = line.find('}', colon);
        if (close == std::string::npos) continue;
        std::string name = line.substr(open + 1, colon - open - 1);
        std::string value = trim_blanks(line.substr(colon + 1, close - colon - 1));
        if ((name == "key" || name == "k") && !value.empty() && !key_set) {
            sheet.key = value;
            key_set = true;
        } else if (name == "tempo" && !tempo_set) {
            float bpm = static_cast<float>(std::strtod(value.c_str(), nullptr));
            if (bpm > 0.0f) {  // false for NaN too
                sheet.bpm = bpm;
                tempo_set = true;
            }
        }
    }
}

std::vector<ChordEv> chordpro_align(const std::string& text, const std::vector<LrcLine>& lyrics,
                                    int& dropped)
{
    dropped = 0;
    std::vector<ChordEv> out;
    std::vector<std::string> pending;
    size_t cursor = 0;
    float last = 0.0f;
    std::vector<ChoMark> marks;
    for (const std::string& line : state_lines(text)) {
        std::string lyric = chordpro_line(line, marks);
        std::vector<std::string> words = lyric_words(lyric);
        if (words.empty()) {
            for (ChoMark& m : marks) pending.push_back(std::move(m.chord));
            continue;
        }
        int b = cursor < lyrics.size() ? best_line(words, lyrics, cursor) : -1;
        if (b < 0) {
            dropped += static_cast<int>(marks.size());
            continue;
        }
        float g = lyrics[b].t;
        float h = static_cast<size_t>(b) + 1 < lyrics.size() ? lyrics[b + 1].t : g + 4.0f;
        chord_spread(pending, std::min(g, last), g, out);
        float len = static_cast<float>(std::max<size_t>(lyric.size(), 1));
        for (const ChoMark& m : marks)
            out.push_back({g + ((h - g) * static_cast<float>(m.pos)) / len, m.chord});
        cursor = static_cast<size_t>(b) + 1;
        last = h;
    }
    chord_spread(pending, last, last + 2.0f * static_cast<float>(pending.size()), out);
    std::stable_sort(out.begin(), out.end(),
                     [](const ChordEv& a, const ChordEv& b) { return a.t < b.t; });
    return out;
}

std::vector<std::string> lyric_words(const std::string& text)
{
    std::vector<std::string> words;
    std::string cur;
    for (char ch : text) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (c == '\'') continue;
        if (word_byte(c)) {
            cur += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : ch;
        } else if (!cur.empty()) {
            words.push_back(std::move(cur));
            cur.clear();
        }
    }
    if (!cur.empty()) words.push_back(std::move(cur));
    return words;
}

float lyric_match(const std::vector<std::string>& a, const std::vector<std::string>& b)
{
    if (a.empty() || b.empty()) return 0.0f;
    // Pairing each word of a with the first unpaired equal word of b makes
    // min(count in a, count in b) pairs per distinct word; counting keeps a
    // huge line linear instead of quadratic.
    std::unordered_map<std::string_view, size_t> left;
    for (const std::string& w : b) ++left[w];
    size_t pairs = 0;
    for (const std::string& w : a) {
        auto it = left.find(w);
        if (it != left.end() && it->second > 0) {
            --it->second;
            ++pairs;
        }
    }
    return static_cast<float>(pairs) / static_cast<float>(std::max(a.size(), b.size()));
}
