#pragma once
// The game's command line.

#include <string>

constexpr int default_volume = 80;


struct Options {
  bool help = false;
  bool version = false;
  bool windowed = false;
  bool whole_scale = false;  // --scale whole: enlarged by whole factors only
  int display = -1;         // -1: the display that holds the mouse pointer
  std::string record_file;  // where to write the session's keys; empty: nowhere
  std::string play_file;    // a key script to play instead of the keyboard; empty: none
  bool muted = false;       // start with the sound off (M turns it on)
  int volume = default_volume;  // the loudness of every sound, 0 to 100
  int players = 0;          // 1 or 2 as asked; 0: as the script to play says, else 1
  bool hints = true;        // the first match's hints and the goal banners (--no-hints: none)
  bool online = false;      // play a friend through a relay
  std::string room;         // the room to join; empty: make one
  std::string relay;        // the relay's address; empty: the build's default
  std::string error;        // what was wrong with the command line; empty when it was right
};

Options parse_options(int argc, const char* const* argv);

// The usage text, ending with a newline.
const char* usage_text();

// What the command lines of rink, rink-replay and rink-autoplay share.
namespace command_line {

// The exit status after a mistake in the command line.
constexpr int mistake_status = 2;

// Reports a mistake in one line, "PROGRAM: MISTAKE", then "Try 'PROGRAM --help'."; returns
// mistake_status.
int refuse(const char* program, const std::string& mistake);

// Writes the usage text (--help) or "PROGRAM VERSION" (--version) on standard output; returns the
// exit status: 0, or 1 after a line on standard error when it could not be written.
int print_help(const char* program, const char* usage);
int print_version(const char* program, const char* version);

// Whether standard output is open, else false after a line on standard error: a program that
// writes its results there checks before it opens any file, which would take its place.
bool output_open(const char* program);

// Ends a program whose results went to standard output: every byte must have reached it, else
// one line on standard error says why and the status becomes 1.
int finish_output(const char* program, int exit_code);

// A whole number from `lowest` to `highest`, in decimal digits only; otherwise false, with
// `mistake` naming the option, what was given and the range.
bool parse_number(const std::string& option, const char* text, long lowest, long highest, long& number,
                  std::string& mistake);

// The players of --players: 1 or 2; otherwise false, with `mistake` saying so.
bool parse_players(const char* text, int& players, std::string& mistake);

}  // namespace command_line
