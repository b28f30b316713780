#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/app_loop.h"
#include "app/app_state.h"
#include "app/app_trace.h"
#include "app/app_window.h"
#include "app/media.h"
#include "app/screens.h"
#include "app/startup_durations.h"
#include "core/backup.h"

namespace {

std::string app_default_root() {
    const char* home = std::getenv("HOME");
    return home ? std::string(home) + "/Music" : std::string(".");
}

// Catalog, daily backup, first scan and order. Durations are refreshed on a
// worker and merged by the loop, so a large catalog opens at once.
void app_load_library(AppState& state) {
    state.library.catalog_path = default_catalog();
    state.library.load_catalog();
    app_trace_mark("catalog loaded");
    backup_daily();
    app_trace_mark("daily backup");
    if (state.library.scan_root.empty()) state.library.scan_root = app_default_root();
    // A first scan measures every file as it adds it; only a loaded catalog
    // needs its lengths checked again.
    const bool scanned = state.library.tracks.empty();
    if (scanned) state.library.scan_folder(state.library.scan_root);
    state.library.sort_natural();
    app_trace_mark("scanned and sorted");
    if (!scanned) state.durations = durations_start(state.library);
}

}  // namespace

int music_app_run() {
    GLFWwindow* window = create_music_window();
    if (!window) return 1;
    app_trace_mark("window");
    set_dock_icon(window);
    auto state = std::make_unique<AppState>();
    state->fonts = load_music_fonts();
    app_trace_mark("fonts");
    app_load_library(*state);
    install_media_tap(*state);
    state->player.on_ready = app_wake;
    if (!state->player.init()) {
        std::fprintf(stderr, "lumora-music: the audio engine could not start\n");
        media_uninstall();
        destroy_music_window(window);
        return 1;
    }
    install_media_remote(*state);
    int result = app_main_loop(window, *state);
    durations_apply(*state);  // lengths measured by now are saved too
    if (state->durations) state->durations->cancel.store(true);
    if (!state->library.save_catalog())
        std::fprintf(stderr, "lumora-music: could not save the catalog %s\n",
                     state->library.catalog_path.c_str());
    media_uninstall();
    state->player.shutdown();
    destroy_music_window(window);
    return result;
}
