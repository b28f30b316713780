// analyze: loudness, speech at the head and tail, and the suggested In/Out.
#include <cstdio>
#include <string>

#include "cli/asr.h"
#include "cli/commands.h"
#include "cli/loudness.h"
#include "core/state.h"

namespace {

struct Spans {
    double head = 90;
    double tail = 45;
};

// "--secs N" and "--tail N" anywhere; a flag in the last position has no value.
Spans analyze_spans(const CliArgs& args)
{
    Spans sp;
    for (size_t i = 0; i + 1 < args.size(); ++i) {
        if (args[i] == "--secs") sp.head = toml_num(args[i + 1]);
        else if (args[i] == "--tail") sp.tail = toml_num(args[i + 1]);
    }
    return sp;
}

void print_seg(const Seg& s)
{
    std::printf("  \"%6.2f-%6.2f %s\",\n", s.start, s.end, io_toml_esc(s.text).c_str());
}

void analyze_one(const Track& t, const Spans& sp)
{
    double duration = 0;
    std::vector<float> curve = cli_loudness(t.path, 0.5, duration);
    std::string json = cli_asr_json(t.path);
    std::vector<Seg> segs = json.empty() ? std::vector<Seg>{} : cli_asr_segs(json);
    double beat = cli_beat_in(curve, 0.5);
    std::printf("[[song]]\ntitle = \"%s\"\npath = \"%s\"\nduration = %.1f\nasr = %s\n"
                "beat_in = %.1f\nsuggest_in = %.2f\nsuggest_out = %.2f\nspeech = [\n",
                io_toml_esc(t.title).c_str(), io_toml_esc(t.path).c_str(), duration,
                json.empty() ? "false" : "true", beat, cli_suggest_in(segs, beat),
                cli_suggest_out(segs, duration));
    for (const Seg& s : segs)
        if (s.start <= sp.head) print_seg(s);
    std::printf("]\nspeech_tail = [\n");
    for (const Seg& s : segs)
        if (s.end >= duration - sp.tail) print_seg(s);
    std::printf("]\nloudness_db_per_s = [");
    for (size_t k = 0; static_cast<double>(k) < sp.head && 2 * k + 1 < curve.size(); ++k) {
        if (k > 0) std::printf(", ");
        std::printf("%.0f", (static_cast<double>(curve[2 * k]) + curve[2 * k + 1]) / 2);
    }
    std::printf("]\n\n");
    std::fflush(stdout);
}

}  // namespace

int cmd_analyze(const CliArgs& args)
{
    Spans sp = analyze_spans(args);
    std::vector<Track> songs = cli_resolve(args);
    for (const Track& t : songs) analyze_one(t, sp);
    return songs.empty() ? 1 : 0;
}
