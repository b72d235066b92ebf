#pragma once
// The game's command line.

#include <string>

struct Options {
  bool help = false;
  bool version = false;
  std::string error;  // what was wrong with the command line; empty when it was right
};

Options parse_options(int argc, const char* const* argv);

// The usage text, ending with a newline.
const char* usage_text();
