// The playback engine: one SDL2 audio device and at most one loaded song,
// decoded whole at the device rate, with linear fade ramps, exact seek,
// cursor and end. Every method is called from the main thread only; the
// device callback runs on SDL's audio thread and only touches the mixer.
#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "app/player_mix.h"

class Player {
public:
    Player();
    ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    // Opens the default output device (float stereo); when none opens, falls
    // back to SDL's silent dummy driver and says so in device_note().
    bool init();
    // A device-less engine at `rate` whose output is taken with pull();
    // used by tests and measurements.
    bool init_manual(int rate);
    // stop(), then closes the device.
    void shutdown();

    // Replaces the loaded song. The file is probed here (missing, not audio:
    // false, nothing loaded); the samples are decoded on a worker, so a long
    // song never holds up the frame loop. Not started.
    bool load(const std::string& path);
    void stop();
    void play();   // ramps from the current level to 1 over 12 ms
    void pause();  // ramps to 0 over 12 ms, then stops, keeping the cursor
    void seek(float seconds);
    float position_sec() const;
    float duration_sec() const;  // exact once decoded, the container's estimate before
    bool finished() const;       // loaded, playing and at the end
    // Ramp of the song's level; `from` -1 starts at the current level.
    void fade(float from, float to, uint32_t ms);
    float fade_volume() const;

    bool loaded() const { return mix_ != nullptr; }
    // True once the loaded song is fully decoded (false with nothing loaded).
    bool ready() const;
    // True when the background decode of the loaded song failed.
    bool decode_failed() const;
    // Empty, or a note for the now-playing line (no device, playing silently).
    const std::string& device_note() const { return note_; }
    int rate() const { return rate_; }

    // Mixes `frames` stereo frames into `out` (manual engines only).
    void pull(float* out, int frames);

    bool playing = false;  // true after play, false after pause, stop or load
    // Called from the decode worker when a song is ready (wakes an idle loop).
    void (*on_ready)() = nullptr;

private:
    std::shared_ptr<MixSound> mix_;  // guarded by the device lock when shared with the callback
    uint32_t device_ = 0;            // SDL device id; 0 for a manual engine
    int rate_ = 0;
    bool started_ = false;
    bool dummy_ = false;  // the fallback driver was started by hand
    std::string note_;
    mutable std::mutex mu_;  // shared with the device callback

    static void callback(void* self, uint8_t* stream, int len);
};
