#include "app/options.h"

#include <cstring>

const char* usage_text() {
  return "usage: rink [--help] [--version]\n"
         "  --help     show this help and exit\n"
         "  --version  show the game's version and exit\n"
         "Keys: arrows skate, Space shoots, Return checks, D drops the puck after a goal,\n"
         "N starts a new match, Escape quits.\n";
}

Options parse_options(int argc, const char* const* argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const char* argument = argv[i];
    if (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0) {
      options.help = true;
    } else if (std::strcmp(argument, "--version") == 0) {
      options.version = true;
    } else {
      options.error = std::string("unknown option '") + argument + "'";
      return options;
    }
  }
  return options;
}
