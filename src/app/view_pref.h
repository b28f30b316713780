// The song table's remembered sort column and direction: view.toml in the
// state folder.
#pragma once
#include <string>

struct SortPref;  // app/app_state.h

// "$HOME/.lumoramusic/view.toml" ("./.lumoramusic/..." when HOME is unset).
std::string sort_pref_file();
// Defaults ("Album", ascending) overridden by the file's valid lines.
SortPref sort_pref_load();
SortPref sort_pref_parse(const std::string& text);
// Rewrites the file whole; a failure is silent (the choice holds for this run).
bool sort_pref_save(const SortPref& pref);
std::string sort_pref_text(const SortPref& pref);
