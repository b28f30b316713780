// The trash's per-frame step: all file work happens here, between frames,
// on the player's main thread; the panel only files requests.
#include "core/trash.h"

void trash_tick(TrashState& state, Library& lib, IoOriginals& originals, const std::string& originals_path,
                double now)
{
    if (state.path.empty()) trash_load(state);
    if (!state.pending_delete.empty()) {
        std::vector<std::string> paths;
        paths.swap(state.pending_delete);
        for (const std::string& p : paths) trash_song(state, lib, p);
    }
    if (state.pending_restore >= 0) {
        trash_restore(state, lib, state.pending_restore);
        state.pending_restore = -1;
    }
    if (state.pending_system >= 0) {
        trash_to_system(state, state.pending_system, originals, originals_path);
        state.pending_system = -1;
    }
    if (state.restore_all) {
        state.restore_all = false;
        trash_restore_all(state, lib);
    }
    if (state.status != state.status_shown) {
        state.status_shown = state.status;
        state.status_time = now;
    }
}
