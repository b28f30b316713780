// A private HOME (and XDG_DATA_HOME) for tests that touch the state folder.
#pragma once
#include <string>

#include "support/support.h"

namespace tsup {

struct StateHome {
    TempDir dir;
    ScopedEnv home{"HOME", dir.path()};
    ScopedEnv xdg{"XDG_DATA_HOME", dir.path() + "/.local/share"};
    std::string state(const std::string& rel = "") const
    {
        return dir.path() + "/.lumoramusic" + (rel.empty() ? "" : "/" + rel);
    }
};

}  // namespace tsup
