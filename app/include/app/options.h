#pragma once
// The game's command line.

#include <string>

#include "app/command_line.h"

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
  bool watch = false;       // watch the match in `room` through a relay
  std::string room;         // the room to join or watch; empty: make one
  std::string relay;        // the relay's address; empty: the build's default
  std::string error;        // what was wrong with the command line; empty when it was right
};

Options parse_options(int argc, const char* const* argv);

// The usage text, ending with a newline.
const char* usage_text();

