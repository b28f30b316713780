// Fixtures for the player's tests: tiny PCM WAV files, a program running in
// the background (the player under Xvfb, a private D-Bus daemon), PNG reading.
#pragma once
#include <map>
#include <string>
#include <vector>

namespace tsup {

// A 16-bit stereo PCM WAV holding `frames` frames of the constant `value`
// (-1..1) at `rate` Hz. A constant signal makes levels easy to check.
void write_wav_const(const std::string& path, int frames, int rate, double value);

// A program started without a shell, its output going to files.
class Background {
public:
    // env: added to (or overriding) the current environment; unset: removed.
    Background(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
               const std::vector<std::string>& unset, const std::string& log_base);
    ~Background();  // kills the process group if it is still running
    Background(const Background&) = delete;
    Background& operator=(const Background&) = delete;
    bool started() const { return pid_ > 0; }
    // Exit status, or -1 when it did not end within `timeout_s` (then killed).
    int wait(int timeout_s);
    std::string out() const;
    std::string err() const;

private:
    int pid_ = -1;
    int status_ = -1;
    std::string out_path_, err_path_;
};

// An 8-bit RGB image read from a PNG; empty when unreadable.
struct RgbImage {
    int w = 0, h = 0;
    std::vector<unsigned char> px;  // row-major RGB
};
RgbImage read_png(const std::string& path);

}  // namespace tsup
