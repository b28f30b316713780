// The online synced-lyrics service, reached through the system's curl.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "core/track.h"

using CliParams = std::vector<std::pair<std::string, std::string>>;

// The service's API root (ends in "/api/"); $LUMORA_LYRICS_API overrides it.
std::string cli_lyrics_api();
// Body of a GET of url with the parameters URL-encoded; "" on any failure.
std::string cli_http_get(const std::string& url, const CliParams& params);
// Cleans an artist or title for the search request.
std::string cli_lyric_query(const std::string& text, bool is_artist);
// Synced lyrics of a song by exact lookup, then search; sets source to
// "lrclib" or "lrclib-search". "" when the service has none.
std::string cli_lrclib(const Track& track, std::string& source);
