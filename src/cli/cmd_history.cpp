// `undo`, `redo` and `history`: step through the shared history of points.
#include <cstdio>

#include "cli/commands.h"
#include "core/history.h"
#include "core/state.h"

int cmd_undo(const CliArgs&)
{
    std::string label = hist_undo();
    if (label.empty()) {
        std::printf("nothing to undo\n");
        return 1;
    }
    std::printf("undid: %s\n", label.c_str());
    return 0;
}

int cmd_redo(const CliArgs&)
{
    std::string label = hist_redo();
    if (label.empty()) {
        std::printf("nothing to redo\n");
        return 1;
    }
    std::printf("redid: %s\n", label.c_str());
    return 0;
}

int cmd_history(const CliArgs&)
{
    HistPos pos = hist_pos_load();
    for (int i = 1; i <= pos.top; ++i) {
        const char* mark = i == pos.cur ? "  <- now" : i > pos.cur ? "  (redo)" : "";
        std::printf("%4d  %-40s%s\n", i, state_meta_label(hist_entry(i)).c_str(), mark);
    }
    std::string undo = hist_undo_label(), redo = hist_redo_label();
    std::printf("\nundo: %s\nredo: %s\n", undo.empty() ? "-" : undo.c_str(), redo.empty() ? "-" : redo.c_str());
    return 0;
}
