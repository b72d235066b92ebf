#pragma once
// A key script named by the page's address (?play=), streamed from the web server into the
// desktop's reader a piece at a time, so that no response, however large or endless, is held.

#include <cstddef>
#include <string>

#include "platform/key_script.h"

namespace platform {

// The most bytes of a script the page reads: a recorded hour of play takes a few megabytes, so a
// script that runs past this is not one (a comment-only or endless stream), and reading stops.
constexpr std::size_t max_script_bytes = std::size_t{64} << 20;

// Fetches ADDRESS (relative to the page) and reads it by the rules of load_key_script, plus
// max_script_bytes; the download is cancelled as soon as the script is refused. `error` in the
// result tells why ("cannot be fetched: ...", "line 3: unknown key 'Jump'").
LoadedScript fetch_key_script(const std::string& address);

}  // namespace platform
