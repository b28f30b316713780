#include "chords/chord_name.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>

namespace {

const int kPc[7] = {9, 11, 0, 2, 4, 5, 7};  // A..G
const char* kSharp[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
const char* kFlat[12] = {"C", "Db", "D", "Eb", "E", "F", "Gb", "G", "Ab", "A", "Bb", "B"};
const char* kNashville[12] = {"1", "b2", "2", "b3", "3", "4", "b5", "5", "b6", "6", "b7", "7"};
const char* kRoman[12] = {"I", "bII", "II", "bIII", "III", "IV", "bV", "V", "bVI", "VI", "bVII", "VII"};
constexpr unsigned kFlatKeys = 0x56A;  // Db Eb F Gb Ab Bb
const int kMaj[12] = {1, 0, 2, 0, 1, 2, 0, 3, 0, 1, 0, 3};
const int kMin[12] = {1, 0, 2, 1, 0, 2, 0, 3, 1, 0, 3, 3};

int mod12(int x)
{
    int r = x % 12;
    return r < 0 ? r + 12 : r;
}

bool starts(const std::string& s, const char* prefix)
{
    return s.rfind(prefix, 0) == 0;
}

bool has(const std::string& s, const char* part)
{
    return s.find(part) != std::string::npos;
}

bool minor_marked(const std::string& q)
{
    return starts(q, "m") && !starts(q, "maj");
}

bool maj7_marked(const std::string& q)
{
    return starts(q, "maj") || (!q.empty() && q[0] == 'M');
}

std::string roman_quality(std::string q, bool lower)
{
    if (starts(q, "dim")) return "o" + q.substr(3);
    if (lower) return starts(q, "min") ? q.substr(3) : q.substr(1);
    return q;
}

}  // namespace

int note_parse(const std::string& s, size_t& pos, bool& flat)
{
    if (pos >= s.size() || s[pos] < 'A' || s[pos] > 'G') return -1;
    int pc = kPc[s[pos] - 'A'];
    ++pos;
    while (pos < s.size() && (s[pos] == 'b' || s[pos] == '#')) {
        if (s[pos] == 'b') {
            --pc;
            flat = true;
        } else {
            ++pc;
        }
        ++pos;
    }
    return mod12(pc);
}

bool chord_parse(const std::string& s, ChordName& out)
{
    out = ChordName{};
    size_t pos = 0;
    out.root = note_parse(s, pos, out.flat);
    if (out.root < 0) return false;
    size_t slash = s.rfind('/');
    if (slash != std::string::npos && slash >= pos) {
        size_t b = slash + 1;
        bool bass_flat = false;
        int bass = note_parse(s, b, bass_flat);
        if (bass >= 0 && b == s.size()) {
            out.bass = bass;
            out.quality = s.substr(pos, slash - pos);
            return true;
        }
    }
    out.quality = s.substr(pos);
    return true;
}

std::string note_spell(int pc, bool flat)
{
    return (flat ? kFlat : kSharp)[mod12(pc)];
}

bool key_flat(const ChordName& key)
{
    if (key.root < 0) return false;
    int pc = minor_marked(key.quality) ? mod12(key.root + 3) : key.root;
    return (kFlatKeys >> pc) & 1u;
}

ChordName chord_transpose(ChordName c, int semis)
{
    if (c.root < 0) return c;
    c.root = mod12(c.root + semis % 12);
    if (c.bass >= 0) c.bass = mod12(c.bass + semis % 12);
    return c;
}

std::string chord_simplify(const std::string& q, int mode)
{
    if (mode <= 0) return q;
    bool major7 = maj7_marked(q);
    bool minor = !major7 && !q.empty() && (q[0] == 'm' || q[0] == '-');
    bool dim = has(q, "m7b5") || has(q, "dim") || starts(q, "o");
    bool aug = has(q, "aug") || has(q, "+");
    bool seventh = has(q, "7") || has(q, "9") || has(q, "11") || has(q, "13");
    if (mode == 1 && seventh && !has(q, "6")) {
        if (has(q, "m7b5")) return "m7b5";
        if (dim) return "dim7";
        return major7 ? "maj7" : minor ? "m7" : "7";
    }
    if (mode == 3) return minor || dim ? "m" : "";
    if (dim) return "dim";
    if (aug) return "aug";
    if (has(q, "sus2")) return "sus2";
    if (has(q, "sus")) return "sus4";
    return minor ? "m" : "";
}

std::string chord_degree(const ChordName& chord, const ChordName& key, bool roman)
{
    if (chord.root < 0 || key.root < 0) return "";
    int iv = mod12(chord.root - key.root);
    const std::string& q = chord.quality;
    std::string out;
    if (!roman) {
        out = kNashville[iv];
        out += !q.empty() && std::isdigit(static_cast<unsigned char>(q[0])) ? "(" + q + ")" : q;
    } else {
        bool lower = minor_marked(q) || starts(q, "dim");
        out = kRoman[iv];
        if (lower)
            for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        out += roman_quality(q, lower);
    }
    if (chord.bass >= 0) out += std::string("/") + kNashville[mod12(chord.bass - key.root)];
    return out;
}

std::string chord_format(const std::string& chord, const std::string& key, const ChordSettings& s)
{
    ChordName c, k;
    if (!chord_parse(chord, c)) return chord;
    bool have_key = chord_parse(key, k);
    if (s.simplify != 0) {
        c.quality = chord_simplify(c.quality, s.simplify);
        if (s.simplify >= 2) c.bass = -1;
    }
    if (s.notation != 0 && have_key) return chord_degree(c, k, s.notation == 2);
    int shift = s.transpose - s.capo;
    bool flats = false;
    if (shift == 0) flats = c.flat;
    else if (have_key) flats = key_flat(chord_transpose(k, shift));
    c = chord_transpose(c, shift);
    std::string out = note_spell(c.root, flats) + c.quality;
    if (c.bass >= 0) out += "/" + note_spell(c.bass, flats);
    return out;
}

int chord_function(const std::string& chord, const std::string& key)
{
    ChordName c, k;
    if (!chord_parse(chord, c) || !chord_parse(key, k)) return 0;
    int iv = mod12(c.root - k.root);
    return minor_marked(k.quality) ? kMin[iv] : kMaj[iv];
}

void chord_spread(std::vector<std::string>& names, float t0, float t1, std::vector<ChordEv>& out)
{
    float n = static_cast<float>(names.size());
    for (size_t i = 0; i < names.size(); ++i) {
        float step = ((t1 - t0) * static_cast<float>(i)) / n;
        out.push_back({t0 + step, std::move(names[i])});
    }
    names.clear();
}

int chord_at(const std::vector<ChordEv>& chords, float t)
{
    auto it = std::upper_bound(chords.begin(), chords.end(), t,
                               [](float v, const ChordEv& e) { return v < e.t; });
    return static_cast<int>(it - chords.begin()) - 1;
}

int64_t chord_mtime(const std::string& path)
{
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return 0;
    return static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
}
