// view.toml: three lines, read leniently (comments, unknown keys and bad
// lines are skipped).
#include "app/view_pref.h"

#include "app/app_state.h"
#include "core/state.h"

std::string sort_pref_file() { return state_path("view.toml"); }

SortPref sort_pref_parse(const std::string& text) {
    SortPref p;
    for (const std::string& line : state_lines(text)) {
        if (line.empty() || line[0] == '#' || line.find('=') == std::string::npos) continue;
        std::string key = toml_key(line);
        if (key == "sort_col") {
            std::string col = io_toml_str(line);
            if (!col.empty()) p.column = col;
        } else if (key == "sort_asc") {
            p.ascending = toml_int(toml_value(line)) != 0;
        }
    }
    return p;
}

SortPref sort_pref_load() {
    std::string text;
    SortPref p;
    if (state_read(sort_pref_file(), text)) p = sort_pref_parse(text);
    p.loaded = true;
    return p;
}

std::string sort_pref_text(const SortPref& pref) {
    // The label goes in verbatim: column labels never hold quotes or backslashes.
    return "# Lumora Music view prefs (click a column header to change)\nsort_col = \"" + pref.column +
           "\"\nsort_asc = " + (pref.ascending ? "1" : "0") + "\n";
}

bool sort_pref_save(const SortPref& pref) { return state_write(sort_pref_file(), sort_pref_text(pref)); }
