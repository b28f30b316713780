#include "cli/asr_lrc.h"

#include <cstdio>

#include "cli/json.h"
#include "core/state.h"

std::vector<std::vector<SongWord>> cli_asr_words(const std::string& json_path)
{
    std::vector<std::vector<SongWord>> out;
    std::string text;
    if (!state_read(json_path, text)) return out;
    JVal root = json_parse(text);
    const JVal* sentences = root.get("sentences");
    if (!sentences) return out;
    for (const JVal& s : sentences->items) {
        const JVal* tokens = s.get("tokens");
        if (!tokens || !tokens->is_arr()) continue;
        std::vector<SongWord> words;
        for (const JVal& t : tokens->items) {
            const JVal* tt = t.get("text");
            const JVal* ts = t.get("start");
            const JVal* te = t.get("end");
            if (!tt || !ts || !te || tt->str.empty()) continue;
            const std::string& w = tt->str;
            if (words.empty() || w[0] == ' ') {
                SongWord sw;
                sw.start = static_cast<float>(ts->num);
                sw.end = static_cast<float>(te->num);
                sw.text = w[0] == ' ' ? w.substr(1) : w;
                words.push_back(std::move(sw));
            } else {
                words.back().text += w;
                words.back().end = static_cast<float>(te->num);
            }
        }
        if (!words.empty()) out.push_back(std::move(words));
    }
    return out;
}

std::string cli_lrc_stamp(double seconds)
{
    if (!(seconds >= 0)) seconds = 0;   // negative or NaN
    if (seconds > 1e8) seconds = 1e8;  // keeps the integer conversion defined
    long long cs = static_cast<long long>(seconds * 100 + 0.5);
    char buf[48];
    std::snprintf(buf, sizeof buf, "[%02lld:%02lld.%02lld]", cs / 6000, cs / 100 % 60, cs % 100);
    return buf;
}

// One phrase as balanced lines of at most 9 words.
static void phrase_lines(const std::vector<SongWord>& ph, std::string& out)
{
    size_t left = ph.size();
    size_t lines = (left + 8) / 9;
    size_t at = 0;
    while (left > 0) {
        size_t take = (left + lines - 1) / lines;
        out += cli_lrc_stamp(ph[at].start);
        for (size_t k = 0; k < take; ++k) {
            if (k > 0) out += ' ';
            out += ph[at + k].text;
        }
        out += '\n';
        at += take;
        left -= take;
        --lines;
    }
}

std::string cli_asr_lrc(const std::string& json_path)
{
    std::string lines;
    for (const auto& words : cli_asr_words(json_path)) {
        std::vector<SongWord> phrase;
        for (const SongWord& w : words) {
            if (!phrase.empty() && w.start - phrase.back().end > 0.6f) {
                phrase_lines(phrase, lines);
                phrase.clear();
            }
            phrase.push_back(w);
        }
        if (!phrase.empty()) phrase_lines(phrase, lines);
    }
    return lines.empty() ? "" : "[re:lumora-music asr]\n" + lines;
}
