#include "app/options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

const char* usage_text() {
  return "usage: rink [--players 1|2] [--window] [--display N] [--scale sharp|whole] [--record FILE]\n"
         "            [--play FILE] [--mute] [--volume N]\n"
         "       rink --help | --version\n"
         "  --players 1|2  one player against the computer (default), or two players\n"
         "  --window       play in a window of its own instead of the full screen\n"
         "  --display N    open on display N (0 is the first; default: where the mouse pointer is)\n"
         "  --scale sharp  fill the largest 4:3 area of the screen, keeping the pixels crisp (default)\n"
         "  --scale whole  enlarge by whole factors only, with black borders around the picture\n"
         "  --record FILE  write the keys of the session to FILE, as rink-replay reads them\n"
         "  --play FILE    play the keys of FILE instead of the keyboard (Escape still quits), with\n"
         "                 the players its recording names unless --players is given\n"
         "  --mute         start with the sound off\n"
         "  --volume N     the sound's volume from 0 to 100 (default 80)\n"
         "  --help         show this help and exit\n"
         "  --version      show the game's version and exit\n"
         "Keys, one player: arrows skate, Space shoots (Up/Down aim), Return checks.\n"
         "Keys, two players: player one: arrows skate, Right Shift shoots, Return checks;\n"
         "  player two: T F G H skate (up, left, down, right), Space shoots (T/G aim), V checks.\n"
         "Both: D drops the puck after a goal, N starts a new match, Escape quits, F11 or\n"
         "Alt+Return switches window and full screen, M turns the sound off and on, P pauses.\n"
         "Controllers: the first is player one's, the second player two's; a lone controller\n"
         "in a two-player game is player two's.\n";
}

namespace {

// A number of digits only, up to `largest`.
bool parse_number(const char* text, int largest, int& number) {
  if (text[0] < '0' || text[0] > '9') return false;
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(text, &end, 10);
  if (errno != 0 || *end != '\0' || value > largest) return false;
  number = static_cast<int>(value);
  return true;
}

}  // namespace

Options parse_options(int argc, const char* const* argv) {
  Options options;
  for (int i = 1; i < argc && options.error.empty(); ++i) {
    const std::string argument = argv[i];
    const bool takes_value =
        argument == "--display" || argument == "--scale" || argument == "--record" || argument == "--play" ||
        argument == "--volume" || argument == "--players";
    if (takes_value && i + 1 >= argc) {
      options.error = "option '" + argument + "' needs a value";
    } else if (argument == "--help" || argument == "-h") {
      options.help = true;
    } else if (argument == "--version") {
      options.version = true;
    } else if (argument == "--players") {
      const std::string count = argv[++i];
      options.players = count == "1" ? 1 : count == "2" ? 2 : 0;
      if (options.players == 0) options.error = "the players must be 1 or 2, not '" + count + "'";
    } else if (argument == "--window") {
      options.windowed = true;
    } else if (argument == "--display") {
      if (!parse_number(argv[++i], 99, options.display)) options.error = std::string("no such display '") + argv[i] + "'";
    } else if (argument == "--scale") {
      const std::string mode = argv[++i];
      options.whole_scale = mode == "whole";
      if (mode != "whole" && mode != "sharp") options.error = "no such scale '" + mode + "' (sharp or whole)";
    } else if (argument == "--record") {
      options.record_file = argv[++i];
    } else if (argument == "--play") {
      options.play_file = argv[++i];
    } else if (argument == "--mute") {
      options.muted = true;
    } else if (argument == "--volume") {
      if (!parse_number(argv[++i], 100, options.volume)) {
        options.error = std::string("the volume must be a number from 0 to 100, not '") + argv[i] + "'";
      }
    } else {
      options.error = "unknown option '" + argument + "'";
    }
  }
  return options;
}
