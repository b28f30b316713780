#include "app/player.h"

#include <SDL.h>

#include <cstdio>
#include <thread>

#include "core/decode.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace {

constexpr uint32_t kRampMs = 12;

// Opens the file far enough to know it holds a decodable audio stream; its
// container length stands in for the duration until the decode is done.
bool player_probe(const std::string& path, float& estimate) {
    AVFormatContext* fmt = nullptr;
    if (avformat_open_input(&fmt, path.c_str(), nullptr, nullptr) < 0) return false;
    bool ok = avformat_find_stream_info(fmt, nullptr) >= 0;
    const AVCodec* codec = nullptr;
    if (ok) ok = av_find_best_stream(fmt, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0) >= 0 && codec;
    estimate = (ok && fmt->duration > 0) ? float(double(fmt->duration) / AV_TIME_BASE) : 0.0f;
    avformat_close_input(&fmt);
    return ok;
}

SDL_AudioDeviceID player_open_device(int& rate, void* self, SDL_AudioCallback cb) {
    SDL_AudioSpec want{}, have{};
    want.freq = 44100;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = cb;
    want.userdata = self;
    SDL_AudioDeviceID dev = SDL_OpenAudioDevice(nullptr, 0, &want, &have,
                                                SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
    if (dev != 0) rate = have.freq;
    return dev;
}

}  // namespace

Player::Player() = default;

Player::~Player() { shutdown(); }

void Player::callback(void* self, uint8_t* stream, int len) {
    auto* p = static_cast<Player*>(self);
    int frames = len / int(sizeof(float) * 2);
    std::lock_guard<std::mutex> g(p->mu_);
    if (p->mix_) {
        mix_render(*p->mix_, reinterpret_cast<float*>(stream), frames);
    } else {
        SDL_memset(stream, 0, size_t(len));
    }
}

bool Player::init() {
    if (started_) return true;
    // The audio subsystem may fail for want of any driver; the dummy driver
    // always exists and keeps real-time pacing, so playback logic still runs.
    bool sys = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    if (sys) device_ = player_open_device(rate_, this, &Player::callback);
    if (device_ == 0) {
        std::string why = SDL_GetError();
        if (sys) SDL_QuitSubSystem(SDL_INIT_AUDIO);
        if (SDL_AudioInit("dummy") != 0) return false;
        dummy_ = true;
        device_ = player_open_device(rate_, this, &Player::callback);
        if (device_ == 0) {
            SDL_AudioQuit();
            dummy_ = false;
            return false;
        }
        note_ = "No audio device: playing silently";
        std::fprintf(stderr, "lumora-music: no audio device (%s); using the dummy driver\n",
                     why.c_str());
    }
    SDL_PauseAudioDevice(device_, 0);
    started_ = true;
    return true;
}

bool Player::init_manual(int rate) {
    if (started_ || rate <= 0) return false;
    rate_ = rate;
    started_ = true;
    return true;
}

void Player::shutdown() {
    stop();
    if (device_ != 0) {
        SDL_CloseAudioDevice(device_);
        device_ = 0;
        if (dummy_) SDL_AudioQuit();
        else SDL_QuitSubSystem(SDL_INIT_AUDIO);
        dummy_ = false;
    }
    started_ = false;
}

bool Player::load(const std::string& path) {
    stop();
    if (!started_) return false;
    float estimate = 0.0f;
    if (!player_probe(path, estimate)) return false;
    auto job = std::make_shared<DecodeJob>();
    job->estimate_sec = estimate;
    auto sound = std::make_shared<MixSound>();
    sound->job = job;
    sound->rate = rate_;
    // The worker owns its copy of the path and a share of the job; a song
    // replaced mid-decode is cancelled and freed by the worker itself.
    std::thread([job, path, rate = rate_, wake = on_ready] {
        std::vector<float> pcm;
        bool ok = decode_audio(path, rate, 2, pcm, &job->cancel);
        job->pcm = std::move(pcm);
        job->ok.store(ok);
        job->done.store(true, std::memory_order_release);
        if (wake && !job->cancel.load()) wake();
    }).detach();
    std::lock_guard<std::mutex> g(mu_);
    mix_ = std::move(sound);
    return true;
}

void Player::stop() {
    std::shared_ptr<MixSound> old;
    {
        std::lock_guard<std::mutex> g(mu_);
        old.swap(mix_);
    }
    if (old && old->job) old->job->cancel.store(true);
    playing = false;
}

void Player::play() {
    std::lock_guard<std::mutex> g(mu_);
    if (!mix_) return;
    mix_->stop_after_fade = false;
    mix_set_fade(*mix_, -1.0f, 1.0f, mix_ms_frames(kRampMs, rate_));
    mix_->running = true;
    playing = true;
}

void Player::pause() {
    std::lock_guard<std::mutex> g(mu_);
    if (!mix_) return;
    if (mix_->running && !mix_->job->done.load(std::memory_order_acquire)) {
        mix_->running = false;  // nothing sounded yet: no ramp needed
    } else if (mix_->running) {
        mix_set_fade(*mix_, -1.0f, 0.0f, mix_ms_frames(kRampMs, rate_));
        mix_->stop_after_fade = true;
    }
    playing = false;
}

void Player::seek(float seconds) {
    std::lock_guard<std::mutex> g(mu_);
    if (!mix_) return;
    float f = seconds * float(rate_);
    uint64_t frame = f > 0.0f ? uint64_t(f) : 0;
    uint64_t total = mix_frames(*mix_);
    if (mix_->job->done.load() && frame > total) frame = total;
    mix_->cursor = frame;
    mix_->at_end = false;
}

float Player::position_sec() const {
    std::lock_guard<std::mutex> g(mu_);
    if (!mix_ || rate_ <= 0) return 0.0f;
    return float(double(mix_->cursor) / rate_);
}

float Player::duration_sec() const {
    std::lock_guard<std::mutex> g(mu_);
    if (!mix_ || rate_ <= 0) return 0.0f;
    if (!mix_->job->done.load(std::memory_order_acquire)) return mix_->job->estimate_sec;
    return float(double(mix_frames(*mix_)) / rate_);
}

bool Player::finished() const {
    std::lock_guard<std::mutex> g(mu_);
    return mix_ && playing && mix_->at_end;
}

void Player::fade(float from, float to, uint32_t ms) {
    std::lock_guard<std::mutex> g(mu_);
    if (!mix_) return;
    mix_set_fade(*mix_, from, to, mix_ms_frames(ms, rate_));
}

float Player::fade_volume() const {
    std::lock_guard<std::mutex> g(mu_);
    return mix_ ? mix_level(*mix_) : 1.0f;
}

bool Player::ready() const {
    std::lock_guard<std::mutex> g(mu_);
    return mix_ && mix_->job->done.load(std::memory_order_acquire) && mix_->job->ok.load();
}

bool Player::decode_failed() const {
    std::lock_guard<std::mutex> g(mu_);
    return mix_ && mix_->job->done.load(std::memory_order_acquire) && !mix_->job->ok.load();
}

void Player::pull(float* out, int frames) {
    if (device_ != 0) return;
    std::lock_guard<std::mutex> g(mu_);
    if (mix_) {
        mix_render(*mix_, out, frames);
    } else {
        std::fill(out, out + 2 * frames, 0.0f);
    }
}
