// State directory, whole-file reading and writing, and the small TOML subset
// every state file is written in.
#pragma once
#include <string>
#include <string_view>
#include <vector>

// "$HOME/.lumoramusic" (no trailing slash; "./.lumoramusic" without HOME);
// creates the folder on every call.
std::string state_home();
// A file inside the state directory, e.g. state_path("io_points.toml").
std::string state_path(const std::string& name);

// Reads a whole file; false (and empty `out`) when it cannot be opened.
bool state_read(const std::string& path, std::string& out);
// Atomic replace: writes a temporary file beside `path`, then renames it over.
// Creates missing parent folders. A crash never leaves a cut or empty file.
bool state_write(const std::string& path, const std::string& content);
// Creates a folder and its missing ancestors (mode 0755); true when it exists afterwards.
bool state_mkdirs(const std::string& dir);

// Text of a meta.toml: label = "..." and time = <unix seconds>.
std::string state_meta(const std::string& label);
// Label of dir/meta.toml, or "" when unreadable or absent.
std::string state_meta_label(const std::string& dir);

// Backslash before every backslash and double quote; nothing else changes.
std::string io_toml_esc(const std::string& s);
// The quoted value of a `key = "value"` line (first to last double quote).
std::string io_toml_str(const std::string& line);
// A one-line array of strings: ["a", "b\"c"].
std::vector<std::string> toml_str_list(const std::string& line);
// Writes a one-line array of strings, escaping each with io_toml_esc.
std::string toml_str_list_write(const std::vector<std::string>& items);

// Key of a `key = value` line: text up to the first blank or '='.
std::string toml_key(const std::string& line);
// Everything after the first '=' ("" when there is none).
std::string toml_value(const std::string& line);
// Lenient numbers: leading blanks skipped, reading stops at the first character
// that cannot belong to the number, 0 for no number at all.
double toml_num(const std::string& value);
long long toml_int(const std::string& value);
// Six significant digits, no trailing zeros (12.5 -> "12.5").
std::string toml_fmt(double v);

// Splits `content` into lines at '\n' (a trailing line without '\n' is kept;
// carriage returns stay part of the line).
std::vector<std::string> state_lines(const std::string& content);

// Calls fn(line) for every line of `text` (split at '\n'; a last line without
// one counts; carriage returns stay), as views into `text`.
template <class Fn>
void state_each_line(std::string_view text, Fn&& fn)
{
    size_t pos = 0;
    while (pos < text.size()) {
        size_t nl = text.find('\n', pos);
        size_t end = nl == std::string_view::npos ? text.size() : nl;
        fn(text.substr(pos, end - pos));
        pos = end + 1;
    }
}
