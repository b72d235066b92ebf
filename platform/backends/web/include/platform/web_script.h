#pragma once
// A key script named by the page's address (?play=), streamed from the web server into the
// desktop's reader a piece at a time, so that no response, however large or endless, is held.

#include <cstddef>
#include <functional>
#include <string>

#include "platform/key_script.h"

namespace platform {

// The most bytes of a script the page reads: a recorded hour of play takes a few megabytes, so a
// script that runs past this is not one (a comment-only or endless stream), and reading stops.
constexpr std::size_t max_script_bytes = std::size_t{64} << 20;

// Hears the script of a download: `error` tells why it was refused ("could not be fetched",
// "line 3: unknown key 'Jump'").
using ScriptFetched = std::function<void(LoadedScript)>;

// Fetches ADDRESS (relative to the page) and reads it by the rules of load_key_script, plus
// max_script_bytes, as the browser brings it; the download is cancelled as soon as the script is
// refused. `done` hears the script once, from the browser's loop, after this has returned.
void fetch_key_script(const std::string& address, ScriptFetched done);

}  // namespace platform
