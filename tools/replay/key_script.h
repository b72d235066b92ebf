#pragma once
// Key scripts for the headless game: one line per pass of the main loop, naming the keys held.

#include <istream>
#include <string>
#include <vector>

#include "platform/headless.h"

struct KeyScript {
  std::vector<platform::KeySet> lines;
  std::string error;  // "line N: unknown key 'X'" when the script is bad
};

// Reads key names (Left Right Up Down Space Return Escape D N) separated by blanks; an empty
// line holds no key, a line starting with '#' is skipped.
KeyScript parse_key_script(std::istream& in);

// Writes the keys as one script line, in the order of the names above.
std::string format_key_line(const platform::KeySet& keys);
