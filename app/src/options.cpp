#include "app/options.h"

const char* usage_text() {
  return "usage: rink [--players 1|2] [--window] [--display N] [--scale sharp|whole] [--record FILE]\n"
         "            [--play FILE] [--mute] [--volume N] [--no-hints] [--online [CODE] | --watch CODE]\n"
         "            [--relay URL]\n"
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
         "  --no-hints     leave out the first match's hints and the goal banners\n"
         "  --online       play a friend on another machine: makes a room and prints its code\n"
         "  --online CODE  join the friend's room CODE; the one who made it is player one\n"
         "                 (with --play, this side's player's keys of a two-player script)\n"
         "  --watch CODE   watch the match in room CODE without taking part\n"
         "  --relay URL    the relay of online play, ws://HOST[:PORT] (this build's: '" RINK_DEFAULT_RELAY "')\n"
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

// A number option of the game's, into an int.
bool parse_int(const std::string& option, const char* text, long lowest, long highest, int& number,
               std::string& mistake) {
  long value = 0;
  if (!command_line::parse_number(option, text, lowest, highest, value, mistake)) return false;
  number = static_cast<int>(value);
  return true;
}

// The file name of --record or --play: an empty one names no file.
bool parse_file(const std::string& option, const char* text, std::string& file, std::string& mistake) {
  file = text;
  if (file.empty()) mistake = option + " needs a file name, not ''";
  return !file.empty();
}

// What does not go together with online play or watching; empty when all does.
std::string online_mistake(const Options& options) {
  if (options.online && options.watch) return "--watch and --online go apart: watch a room or play in one";
  if ((options.online || options.watch) && options.players == 1) return "online play is for two players, not --players 1";
  if (options.watch && !options.play_file.empty()) return "--watch shows the match: it plays no script, leave out --play";
  if (!options.relay.empty() && !options.online && !options.watch) return "--relay is for --online and --watch";
  return {};
}

}  // namespace

Options parse_options(int argc, const char* const* argv) {
  Options options;
  std::string& mistake = options.error;
  for (int i = 1; i < argc && mistake.empty(); ++i) {
    const std::string argument = argv[i];
    const bool takes_value =
        argument == "--display" || argument == "--scale" || argument == "--record" || argument == "--play" ||
        argument == "--volume" || argument == "--players" || argument == "--watch";
    if (takes_value && i + 1 >= argc) {
      mistake = "option '" + argument + "' needs a value";
    } else if (argument == "--help" || argument == "-h") {
      options.help = true;
    } else if (argument == "--version") {
      options.version = true;
    } else if (argument == "--players") {
      command_line::parse_players(argv[++i], options.players, mistake);
    } else if (argument == "--window") {
      options.windowed = true;
    } else if (argument == "--display") {
      parse_int(argument, argv[++i], 0, 99, options.display, mistake);
    } else if (argument == "--scale") {
      const std::string mode = argv[++i];
      options.whole_scale = mode == "whole";
      if (mode != "whole" && mode != "sharp") mistake = "--scale must be sharp or whole, not '" + mode + "'";
    } else if (argument == "--record") {
      parse_file(argument, argv[++i], options.record_file, mistake);
    } else if (argument == "--play") {
      parse_file(argument, argv[++i], options.play_file, mistake);
    } else if (argument == "--mute") {
      options.muted = true;
    } else if (argument == "--volume") {
      parse_int(argument, argv[++i], 0, 100, options.volume, mistake);
    } else if (argument == "--no-hints") {
      options.hints = false;
    } else if (argument == "--online") {
      options.online = true;
      // A code may follow; an option does not start one.
      if (i + 1 < argc && argv[i + 1][0] != '-') options.room = argv[++i];
    } else if (argument == "--watch") {
      options.watch = true;
      options.room = argv[++i];
    } else if (argument == "--relay") {
      if (i + 1 >= argc || *argv[i + 1] == '\0') {
        mistake = "--relay needs an address, ws://HOST[:PORT]";
      } else {
        options.relay = argv[++i];
      }
    } else {
      mistake = "unknown option '" + argument + "'";
    }
  }
  if (mistake.empty()) mistake = online_mistake(options);
  return options;
}
