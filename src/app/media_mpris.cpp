// Index: connection and waker thread; the two interfaces' vtables; metadata.
#include "app/media_mpris.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "app/app_state.h"
#include "app/app_window.h"
#include "app/media.h"
#include "app/mpris_meta.h"

namespace {

constexpr const char* kObject = "/org/mpris/MediaPlayer2";
constexpr const char* kRootIface = "org.mpris.MediaPlayer2";
constexpr const char* kPlayerIface = "org.mpris.MediaPlayer2.Player";

struct Mpris {
    sd_bus* bus = nullptr;
    sd_bus_slot* root_slot = nullptr;
    sd_bus_slot* player_slot = nullptr;
    bool quit = false;
    // Waker: sleeps on the bus socket, wakes the frame loop, then waits until
    // the loop has drained the socket before watching it again.
    std::thread waker;
    int stop_fd = -1;
    std::mutex mu;
    std::condition_variable drained_cv;
    bool drained = true;
    bool stopping = false;
};

Mpris* g_mpris = nullptr;

AppState* st() { return media_state(); }

// --- waker ------------------------------------------------------------------

void mpris_waker(Mpris* m, int bus_fd) {
    for (;;) {
        pollfd fds[2] = {{bus_fd, POLLIN, 0}, {m->stop_fd, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) continue;
        if (fds[1].revents) return;
        std::unique_lock<std::mutex> lk(m->mu);
        if (m->stopping) return;
        m->drained = false;
        app_wake();
        m->drained_cv.wait(lk, [m] { return m->drained || m->stopping; });
        if (m->stopping) return;
    }
}

// --- methods ----------------------------------------------------------------

int m_raise(sd_bus_message* msg, void*, sd_bus_error*) { return sd_bus_reply_method_return(msg, ""); }

int m_quit(sd_bus_message* msg, void*, sd_bus_error*) {
    if (g_mpris) g_mpris->quit = true;
    app_wake();
    return sd_bus_reply_method_return(msg, "");
}

int m_command(sd_bus_message* msg, void* cmd, sd_bus_error*) {
    media_apply(int(intptr_t(cmd)));
    return sd_bus_reply_method_return(msg, "");
}

// Play never pauses and Pause never resumes, as desktops expect.
int m_play(sd_bus_message* msg, void*, sd_bus_error*) {
    if (st() && !st()->player.playing) media_apply(1);
    return sd_bus_reply_method_return(msg, "");
}

int m_pause(sd_bus_message* msg, void*, sd_bus_error*) {
    if (st() && st()->player.playing) media_apply(1);
    return sd_bus_reply_method_return(msg, "");
}

int m_stop(sd_bus_message* msg, void*, sd_bus_error*) {
    if (st() && st()->player.playing) media_apply(1);
    if (st()) st()->player.seek(0.0f);
    return sd_bus_reply_method_return(msg, "");
}

void mpris_seeked() {
    if (!g_mpris || !st()) return;
    int64_t us = int64_t(double(st()->player.position_sec()) * 1e6);
    sd_bus_emit_signal(g_mpris->bus, kObject, kPlayerIface, "Seeked", "x", us);
}

void mpris_seek_to(int64_t us) {
    AppState* s = st();
    if (!s || !s->player.loaded()) return;
    double sec = double(us) / 1e6;
    if (sec < 0) sec = 0;
    double len = s->player.duration_sec();
    if (sec > len) return;  // past the end: ignored, as MPRIS asks
    s->player.seek(float(sec));
    mpris_seeked();
}

int m_seek(sd_bus_message* msg, void*, sd_bus_error*) {
    int64_t off = 0;
    int r = sd_bus_message_read(msg, "x", &off);
    if (r < 0) return r;
    if (st()) mpris_seek_to(int64_t(double(st()->player.position_sec()) * 1e6) + off);
    return sd_bus_reply_method_return(msg, "");
}

int m_set_position(sd_bus_message* msg, void*, sd_bus_error*) {
    const char* id = nullptr;
    int64_t pos = 0;
    int r = sd_bus_message_read(msg, "ox", &id, &pos);
    if (r < 0) return r;
    // A stale track id means the song changed meanwhile: ignore the request.
    if (st() && id && mpris_track_id(*st()) == id) mpris_seek_to(pos);
    return sd_bus_reply_method_return(msg, "");
}

int m_open_uri(sd_bus_message*, void*, sd_bus_error* err) {
    return sd_bus_error_set(err, SD_BUS_ERROR_NOT_SUPPORTED, "Opening URIs is not supported");
}

// --- properties ---------------------------------------------------------------

int p_bool(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void* v,
           sd_bus_error*) {
    return sd_bus_message_append(reply, "b", int(intptr_t(v)));
}

int p_double_one(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*,
                 sd_bus_error*) {
    return sd_bus_message_append(reply, "d", 1.0);
}

int p_identity(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*,
               sd_bus_error*) {
    return sd_bus_message_append(reply, "s", "Lumora Music");
}

int p_desktop(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*,
              sd_bus_error*) {
    return sd_bus_message_append(reply, "s", "lumora-music");
}

int p_empty_list(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*,
                 sd_bus_error*) {
    return sd_bus_message_append(reply, "as", 0);
}

int p_status(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*,
             sd_bus_error*) {
    std::string s = st() ? mpris_status(*st()) : "Stopped";
    return sd_bus_message_append(reply, "s", s.c_str());
}

int p_loop(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*,
           sd_bus_error*) {
    int r = st() ? st()->repeat : 0;
    return sd_bus_message_append(reply, "s", r == 2 ? "Track" : r == 1 ? "Playlist" : "None");
}

int p_shuffle(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*,
              sd_bus_error*) {
    return sd_bus_message_append(reply, "b", st() ? int(st()->shuffle) : 0);
}

int p_can(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*,
          sd_bus_error*) {
    return sd_bus_message_append(reply, "b", st() && !st()->library.tracks.empty() ? 1 : 0);
}

int p_position(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*,
               sd_bus_error*) {
    int64_t us = st() ? int64_t(double(st()->player.position_sec()) * 1e6) : 0;
    return sd_bus_message_append(reply, "x", us);
}

int p_metadata(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*,
               sd_bus_error*) {
    MprisMeta m = st() ? mpris_meta(*st()) : MprisMeta{};
    int r = sd_bus_message_open_container(reply, 'a', "{sv}");
    if (r < 0) return r;
    sd_bus_message_append(reply, "{sv}", "mpris:trackid", "o", m.track_id.c_str());
    sd_bus_message_append(reply, "{sv}", "xesam:title", "s", m.title.c_str());
    if (m.has_track) {
        sd_bus_message_append(reply, "{sv}", "mpris:length", "x", m.length_us);
        sd_bus_message_append(reply, "{sv}", "xesam:artist", "as", 1, m.artist.c_str());
        sd_bus_message_append(reply, "{sv}", "xesam:album", "s", m.album.c_str());
    }
    return sd_bus_message_close_container(reply);
}

#define CONST_FLAG SD_BUS_VTABLE_PROPERTY_CONST
#define CHANGE_FLAG SD_BUS_VTABLE_PROPERTY_EMITS_CHANGE

const sd_bus_vtable kRootTable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("Raise", "", "", m_raise, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("Quit", "", "", m_quit, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_PROPERTY("CanQuit", "b", p_bool, (size_t)1, CONST_FLAG),
    SD_BUS_PROPERTY("CanRaise", "b", p_bool, (size_t)0, CONST_FLAG),
    SD_BUS_PROPERTY("HasTrackList", "b", p_bool, (size_t)0, CONST_FLAG),
    SD_BUS_PROPERTY("Identity", "s", p_identity, 0, CONST_FLAG),
    SD_BUS_PROPERTY("DesktopEntry", "s", p_desktop, 0, CONST_FLAG),
    SD_BUS_PROPERTY("SupportedUriSchemes", "as", p_empty_list, 0, CONST_FLAG),
    SD_BUS_PROPERTY("SupportedMimeTypes", "as", p_empty_list, 0, CONST_FLAG),
    SD_BUS_VTABLE_END,
};

// The userdata of the three plain commands is the command number (the
// vtable offset is added to a null base pointer).
const sd_bus_vtable kPlayerTable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD_WITH_OFFSET("Previous", "", "", m_command, 0, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD_WITH_OFFSET("PlayPause", "", "", m_command, 1, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD_WITH_OFFSET("Next", "", "", m_command, 2, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("Play", "", "", m_play, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("Pause", "", "", m_pause, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("Stop", "", "", m_stop, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("Seek", "x", "", m_seek, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("SetPosition", "ox", "", m_set_position, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("OpenUri", "s", "", m_open_uri, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_SIGNAL("Seeked", "x", 0),
    SD_BUS_PROPERTY("PlaybackStatus", "s", p_status, 0, CHANGE_FLAG),
    SD_BUS_PROPERTY("LoopStatus", "s", p_loop, 0, CHANGE_FLAG),
    SD_BUS_PROPERTY("Shuffle", "b", p_shuffle, 0, CHANGE_FLAG),
    SD_BUS_PROPERTY("Rate", "d", p_double_one, 0, CONST_FLAG),
    SD_BUS_PROPERTY("MinimumRate", "d", p_double_one, 0, CONST_FLAG),
    SD_BUS_PROPERTY("MaximumRate", "d", p_double_one, 0, CONST_FLAG),
    SD_BUS_PROPERTY("Volume", "d", p_double_one, 0, CONST_FLAG),
    SD_BUS_PROPERTY("Metadata", "a{sv}", p_metadata, 0, CHANGE_FLAG),
    SD_BUS_PROPERTY("Position", "x", p_position, 0, 0),
    SD_BUS_PROPERTY("CanGoNext", "b", p_can, 0, CHANGE_FLAG),
    SD_BUS_PROPERTY("CanGoPrevious", "b", p_can, 0, CHANGE_FLAG),
    SD_BUS_PROPERTY("CanPlay", "b", p_can, 0, CHANGE_FLAG),
    SD_BUS_PROPERTY("CanPause", "b", p_can, 0, CHANGE_FLAG),
    SD_BUS_PROPERTY("CanSeek", "b", p_can, 0, CHANGE_FLAG),
    SD_BUS_PROPERTY("CanControl", "b", p_bool, (size_t)1, CONST_FLAG),
    SD_BUS_VTABLE_END,
};

bool mpris_claim_name(sd_bus* bus) {
    if (sd_bus_request_name(bus, "org.mpris.MediaPlayer2.lumora_music", 0) >= 0) return true;
    // A second player on the same desktop takes the conventional instance name.
    std::string alt = "org.mpris.MediaPlayer2.lumora_music.instance" + std::to_string(getpid());
    return sd_bus_request_name(bus, alt.c_str(), 0) >= 0;
}

}  // namespace

bool mpris_start(AppState&) {
    if (g_mpris) return true;
    auto* m = new Mpris;
    bool ok = sd_bus_open_user(&m->bus) >= 0 &&
              sd_bus_add_object_vtable(m->bus, &m->root_slot, kObject, kRootIface, kRootTable,
                                       nullptr) >= 0 &&
              sd_bus_add_object_vtable(m->bus, &m->player_slot, kObject, kPlayerIface,
                                       kPlayerTable, nullptr) >= 0 &&
              mpris_claim_name(m->bus);
    if (ok) m->stop_fd = eventfd(0, EFD_CLOEXEC);
    if (!ok || m->stop_fd < 0) {
        sd_bus_slot_unref(m->player_slot);
        sd_bus_slot_unref(m->root_slot);
        sd_bus_flush_close_unref(m->bus);
        delete m;
        return false;
    }
    g_mpris = m;
    m->waker = std::thread(mpris_waker, m, sd_bus_get_fd(m->bus));
    return true;
}

void mpris_pump() {
    Mpris* m = g_mpris;
    if (!m) return;
    while (sd_bus_process(m->bus, nullptr) > 0) {
    }
    sd_bus_flush(m->bus);
    std::lock_guard<std::mutex> lk(m->mu);
    m->drained = true;
    m->drained_cv.notify_all();
}

void mpris_publish(const AppState&) {
    if (!g_mpris) return;
    sd_bus_emit_properties_changed(g_mpris->bus, kObject, kPlayerIface, "PlaybackStatus",
                                   "Metadata", "LoopStatus", "Shuffle", "CanGoNext",
                                   "CanGoPrevious", "CanPlay", "CanPause", "CanSeek", nullptr);
    sd_bus_flush(g_mpris->bus);
}

void mpris_stop() {
    Mpris* m = g_mpris;
    if (!m) return;
    g_mpris = nullptr;
    uint64_t one = 1;
    if (write(m->stop_fd, &one, sizeof one) < 0) {
    }
    {
        std::lock_guard<std::mutex> lk(m->mu);
        m->stopping = true;
        m->drained_cv.notify_all();
    }
    m->waker.join();
    close(m->stop_fd);
    sd_bus_slot_unref(m->player_slot);
    sd_bus_slot_unref(m->root_slot);
    sd_bus_flush_close_unref(m->bus);
    delete m;
}

bool mpris_take_quit() {
    if (!g_mpris || !g_mpris->quit) return false;
    g_mpris->quit = false;
    return true;
}
