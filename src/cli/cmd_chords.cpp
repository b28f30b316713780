// The chords command: song selection, the per-song load / edit / save / list
// cycle, and "--missing", which detects songs on all cores.
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <future>
#include <memory>
#include <thread>

#include "cli/cmd_chords.h"
#include "cli/commands.h"
#include "core/state.h"

namespace {

bool file_exists(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

bool is_edit_flag(const std::string& a)
{
    return a.rfind("--", 0) == 0 && a != "--artist";
}

// Detections running ahead of the song loop on worker threads, so that
// "--missing" keeps every core busy while results are still saved and
// printed in catalog order.
class DetectAhead {
public:
    explicit DetectAhead(const std::vector<Track>& songs) : songs_(songs), results_(songs.size())
    {
        for (Result& r : results_) r.future = r.promise.get_future();
        unsigned cores = std::max(1u, std::thread::hardware_concurrency());
        size_t n = std::min<size_t>(cores, songs.size());
        for (size_t i = 0; i < n; ++i) workers_.emplace_back([this] { run(); });
    }
    ~DetectAhead()
    {
        stop_ = true;
        for (std::thread& t : workers_) t.join();
    }
    DetectAhead(const DetectAhead&) = delete;
    DetectAhead& operator=(const DetectAhead&) = delete;

    // Waits for song i; true when chords were found (then `sheet` holds them).
    bool take(size_t i, ChordSheet& sheet)
    {
        Result& r = results_[i];
        bool ok = r.future.get();
        sheet = std::move(r.sheet);
        return ok;
    }

private:
    struct Result {
        std::promise<bool> promise;
        std::future<bool> future;
        ChordSheet sheet;
    };

    void run()
    {
        for (size_t i = next_++; i < songs_.size() && !stop_; i = next_++) {
            bool ok = chords_detect(songs_[i].path, results_[i].sheet);
            results_[i].promise.set_value(ok);
        }
    }

    const std::vector<Track>& songs_;
    std::vector<Result> results_;
    std::vector<std::thread> workers_;
    std::atomic<size_t> next_{0};
    std::atomic<bool> stop_{false};
};

std::vector<Track> songs_without_sheet()
{
    std::vector<Track> out;
    for (const Track& t : cli_library().tracks)
        if (!file_exists(chords_path(t.path))) out.push_back(t);
    return out;
}

void append_ev(std::string& out, const char* prefix, const char* fmt, const ChordEv& e)
{
    char buf[128];  // room for the largest float printed in full
    std::snprintf(buf, sizeof buf, fmt, prefix, static_cast<double>(e.t));
    out += buf + io_toml_esc(e.name) + "\"}";
}

}  // namespace

std::string cli_chords_listing(const Track& track, const std::string& sheet_path,
                               const ChordSheet& sheet)
{
    std::string out = "[[song]]\ntitle = \"" + io_toml_esc(track.title) + "\"\nfile = \"" +
                      io_toml_esc(sheet_path) + "\"\nkey = \"" + io_toml_esc(sheet.key) + "\"\n";
    char buf[192];
    std::snprintf(buf, sizeof buf, "bpm = %.2f\nmeter = %d\ndownbeat = %.3f\nsections = [",
                  static_cast<double>(sheet.bpm), sheet.meter, static_cast<double>(sheet.downbeat));
    out += buf;
    for (size_t i = 0; i < sheet.sections.size(); ++i)
        append_ev(out, i ? ", " : "", "%s{t = %.3f, name = \"", sheet.sections[i]);
    out += "]\nchords = [";
    for (size_t i = 0; i < sheet.chords.size(); ++i)
        append_ev(out, i ? "," : "", "%s\n  {t = %.3f, name = \"", sheet.chords[i]);
    out += sheet.chords.empty() ? "]\n\n" : "\n]\n\n";
    return out;
}

int cmd_chords(const CliArgs& args)
{
    bool missing = std::find(args.begin(), args.end(), "--missing") != args.end();
    std::vector<Track> songs = missing ? songs_without_sheet() : cli_resolve(args);
    if (songs.empty()) {
        std::fputs(missing ? "every song has chords\n" : "no matching songs\n", stderr);
        return missing ? 0 : 1;
    }
    bool editing = std::any_of(args.begin(), args.end(), is_edit_flag);
    if (!missing && editing && songs.size() != 1) {
        std::fprintf(stderr, "edit flags need exactly 1 song (%zu matched)\n", songs.size());
        return 1;
    }
    const CliArgs flags = missing ? CliArgs{"--detect"} : args;
    std::unique_ptr<DetectAhead> ahead;
    if (missing) ahead = std::make_unique<DetectAhead>(songs);
    for (size_t i = 0; i < songs.size(); ++i) {
        const Track& song = songs[i];
        std::string path = chords_path(song.path);
        ChordSheet sheet;
        chords_load(path, sheet);  // no file: an empty sheet
        if (editing) {
            bool ok;
            if (missing) {
                ChordSheet detected;
                bool found = ahead->take(i, detected);
                ok = cli_chords_detect_report(song, found, detected, sheet);
            } else {
                ok = cli_chords_edit(song, flags, sheet) >= 0;
            }
            if (!ok) {
                std::fflush(stdout);
                if (missing) continue;
                return 1;
            }
            if (!chords_save(path, sheet)) {
                std::fflush(stdout);
                std::fprintf(stderr, "can't write %s\n", path.c_str());
                return 1;
            }
        }
        std::fputs(cli_chords_listing(song, path, sheet).c_str(), stdout);
        std::fflush(stdout);
    }
    return 0;
}
