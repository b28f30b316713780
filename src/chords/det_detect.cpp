// The detection pipeline: samples in, chords, key, tempo and downbeat out.
#include <algorithm>

#include "chords/det.h"

namespace {

float frame_time(int frame)
{
    // Frame k of the onset curve is centred one hop after its start.
    return static_cast<float>(frame) / kDetFps + kDetFrameSecs;
}

}  // namespace

std::vector<ChordEv> det_events(const std::vector<int>& path, const std::vector<int>& starts,
                                const std::vector<DetTpl>& tpls, const std::string& key)
{
    ChordName k;
    bool flat = chord_parse(key, k) && key_flat(k);
    std::vector<ChordEv> out;
    size_t n = std::min(path.size(), starts.size());
    for (size_t i = 0; i < n; ++i) {
        if (i > 0 && path[i] == path[i - 1]) continue;
        int s = path[i];
        std::string name = s >= 0 && static_cast<size_t>(s) < tpls.size()
                               ? note_spell(tpls[s].root, flat) + tpls[s].suffix
                               : "N.C.";
        out.push_back({starts[i] == 0 ? 0.0f : frame_time(starts[i]), std::move(name)});
    }
    return out;
}

bool det_detect_pcm(const std::vector<float>& samples, ChordSheet& sheet)
{
    if (det_frame_count(samples.size(), 4096) < 8) return false;
    std::vector<DetSemi> semis = det_semis_pcm(samples);
    det_unharm(semis);
    std::vector<DetChroma> treble = det_fold(semis, 45, 96);
    std::vector<DetChroma> bass = det_fold(semis, 28, 55);
    semis = {};
    std::vector<float> onset = det_onset_pcm(samples);

    float period = det_tempo(onset);
    std::vector<int> beats = det_beats(onset, period);
    std::vector<int> starts = beats;
    size_t offset = 0;
    if (beats.empty() || beats.front() >= 4) {
        starts.insert(starts.begin(), 0);
        offset = 1;
    }
    // The 4096-point frames are centred three hops after the onset frames.
    std::vector<int> shifted(beats.size());
    for (size_t i = 0; i < beats.size(); ++i) shifted[i] = beats[i] < 4 ? 0 : beats[i] - 3;
    std::vector<DetChroma> tsync = det_sync(treble, shifted);
    std::vector<DetChroma> bsync = det_sync(bass, shifted);

    const std::vector<DetTpl>& tpls = det_templates();
    std::vector<std::array<float, kDetStates>> scores(tsync.size());
    for (size_t i = 0; i < tsync.size(); ++i) scores[i] = det_score(tsync[i], bsync[i], tpls);
    std::vector<int> path = det_viterbi(scores, 0.25f);

    sheet = ChordSheet{};
    std::vector<DetChroma> profiles;
    for (int s : path)
        if (s >= 0 && static_cast<size_t>(s) < tpls.size()) profiles.push_back(tpls[s].profile);
    sheet.key = det_key(profiles);
    sheet.bpm = 1291.9922f / det_period(beats, period);
    sheet.meter = 4;
    std::vector<int> tail(path.begin() + static_cast<long>(std::min(offset, path.size())), path.end());
    size_t k = offset + static_cast<size_t>(det_downbeat(tail, 4));
    sheet.downbeat = k < starts.size() ? frame_time(starts[k]) : -1.0f;
    sheet.chords = det_events(path, starts, tpls, sheet.key);
    return !sheet.chords.empty();
}

bool chords_detect(const std::string& audio_path, ChordSheet& sheet)
{
    float duration = 0.0f;
    std::vector<float> samples = det_decode(audio_path, duration);
    if (samples.empty()) return false;
    return det_detect_pcm(samples, sheet);
}
