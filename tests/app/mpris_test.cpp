// Playback end to end through MPRIS: the player under Xvfb on a private
// session bus, driven by D-Bus calls the way a desktop's media keys are.
#include <gtest/gtest.h>
#include <systemd/sd-bus.h>

#include <signal.h>

#include <chrono>
#include <sstream>
#include <thread>

#include "core/library.h"
#include "support/app_support.h"
#include "support/support.h"

namespace {

constexpr const char* kDest = "org.mpris.MediaPlayer2.lumora_music";
constexpr const char* kPath = "/org/mpris/MediaPlayer2";
constexpr const char* kPlayer = "org.mpris.MediaPlayer2.Player";

void sleep_ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// A private session bus daemon, killed at the end.
struct SessionBus {
    std::string address;
    int pid = -1;
    SessionBus() {
        tsup::RunResult r = tsup::run(
            {"dbus-daemon", "--session", "--fork", "--nopidfile", "--print-address=1",
             "--print-pid=1"});
        std::istringstream in(r.out);
        in >> address >> pid;
    }
    ~SessionBus() {
        if (pid > 0) ::kill(pid, SIGTERM);
    }
};

struct Mpris {
    sd_bus* bus = nullptr;
    explicit Mpris(const std::string& address) {
        if (sd_bus_new(&bus) < 0) return;
        sd_bus_set_address(bus, address.c_str());
        sd_bus_set_bus_client(bus, 1);
        if (sd_bus_start(bus) < 0) bus = sd_bus_unref(bus);
    }
    ~Mpris() { sd_bus_unref(bus); }

    bool call(const char* method, const char* iface = kPlayer) {
        sd_bus_error err = SD_BUS_ERROR_NULL;
        int r = sd_bus_call_method(bus, kDest, kPath, iface, method, &err, nullptr, "");
        sd_bus_error_free(&err);
        return r >= 0;
    }
    std::string status() {
        sd_bus_error err = SD_BUS_ERROR_NULL;
        char* s = nullptr;
        int r = sd_bus_get_property_string(bus, kDest, kPath, kPlayer, "PlaybackStatus", &err, &s);
        sd_bus_error_free(&err);
        std::string out = r >= 0 && s ? s : "";
        free(s);
        return out;
    }
    double position() {
        sd_bus_error err = SD_BUS_ERROR_NULL;
        int64_t us = -1;
        sd_bus_get_property_trivial(bus, kDest, kPath, kPlayer, "Position", &err, 'x', &us);
        sd_bus_error_free(&err);
        return double(us) / 1e6;
    }
    std::string title() {
        sd_bus_error err = SD_BUS_ERROR_NULL;
        sd_bus_message* m = nullptr;
        std::string out;
        if (sd_bus_get_property(bus, kDest, kPath, kPlayer, "Metadata", &err, &m, "a{sv}") >= 0 &&
            sd_bus_message_enter_container(m, 'a', "{sv}") > 0) {
            while (sd_bus_message_enter_container(m, 'e', "sv") > 0) {
                const char* key = nullptr;
                sd_bus_message_read(m, "s", &key);
                if (std::string(key) == "xesam:title") {
                    const char* v = nullptr;
                    sd_bus_message_read(m, "v", "s", &v);
                    out = v;
                } else {
                    sd_bus_message_skip(m, "v");
                }
                sd_bus_message_exit_container(m);
            }
        }
        sd_bus_error_free(&err);
        sd_bus_message_unref(m);
        return out;
    }
};

TEST(PlayerMpris, MediaCommandsDrivePlaybackAndEndsAdvance) {
    tsup::TempDir home;
    const char* titles[] = {"One", "Two", "Three"};
    for (int i = 0; i < 3; ++i)
        tsup::make_tone(home / ("Music/" + std::to_string(i) + ".mp3"), 3.0, 440 + 100 * i,
                        {"-metadata", std::string("title=") + titles[i], "-metadata",
                         "artist=A", "-metadata", "album=B", "-metadata",
                         "track=" + std::to_string(i + 1)});
    SessionBus session;
    ASSERT_FALSE(session.address.empty());
    tsup::Background app({"xvfb-run", "-a", "-s", "-screen 0 1600x1000x24", LUMORA_APP_BIN},
                         {{"HOME", home.path()},
                          {"XDG_DATA_HOME", home / ".local/share"},
                          {"SDL_AUDIODRIVER", "dummy"},
                          {"DBUS_SESSION_BUS_ADDRESS", session.address}},
                         {}, home / "app");
    Mpris mp(session.address);
    ASSERT_NE(mp.bus, nullptr);
    for (int i = 0; i < 200 && mp.status().empty(); ++i) sleep_ms(100);
    ASSERT_EQ(mp.status(), "Stopped") << app.err();

    ASSERT_TRUE(mp.call("Play"));
    sleep_ms(300);
    EXPECT_EQ(mp.status(), "Playing");
    EXPECT_EQ(mp.title(), "One");
    // Sound starts once the song is decoded in the background.
    for (int i = 0; i < 200 && mp.position() <= 0.0; ++i) sleep_ms(50);
    double p1 = mp.position();
    sleep_ms(600);
    double p2 = mp.position();
    EXPECT_GT(p2, p1 + 0.3);

    ASSERT_TRUE(mp.call("Next"));
    sleep_ms(300);
    EXPECT_EQ(mp.title(), "Two");

    ASSERT_TRUE(mp.call("Pause"));
    sleep_ms(300);
    EXPECT_EQ(mp.status(), "Paused");
    double held = mp.position();
    sleep_ms(600);
    EXPECT_EQ(mp.position(), held);
    ASSERT_TRUE(mp.call("Pause"));  // Pause never resumes
    sleep_ms(200);
    EXPECT_EQ(mp.status(), "Paused");

    // Play to the end of "Two": the loop moves on to "Three" by itself.
    ASSERT_TRUE(mp.call("Play"));
    std::string now;
    for (int i = 0; i < 200 && (now = mp.title()) != "Three"; ++i) sleep_ms(100);
    EXPECT_EQ(now, "Three");
    EXPECT_EQ(mp.status(), "Playing");

    ASSERT_TRUE(mp.call("Quit", "org.mpris.MediaPlayer2"));
    ASSERT_EQ(app.wait(20), 0) << app.err();
    Library lib;
    lib.load_catalog_text(tsup::read_file(home / ".lumoramusic/library.toml"));
    ASSERT_EQ(lib.tracks.size(), 3u);
    EXPECT_EQ(lib.tracks[0].title, "One");
    EXPECT_EQ(lib.tracks[0].plays, 0u);  // skipped with Next
    EXPECT_EQ(lib.tracks[1].plays, 1u);  // played to its end
    EXPECT_EQ(lib.tracks[2].plays, 0u);
}

}  // namespace
