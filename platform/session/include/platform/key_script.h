#pragma once
// Key scripts: one line of held keys per pass of the main loop, as the headless game, the
// replay tool and a recorded match use them.

#include <cstddef>
#include <cstdio>
#include <istream>
#include <set>
#include <string>
#include <vector>

#include "platform/keys.h"

namespace platform {

// The name of each game key in a script, by slot.
constexpr const char* key_names[game_key_count] = {"Left", "Right", "Up", "Down", "Space", "Return", "Escape", "D", "N"};

using KeySet = std::set<int>;

struct KeyScript {
  std::vector<KeySet> lines;
  std::string error;  // "line N: unknown key 'X'" when the script is bad
};

// Reads key names separated by blanks; an empty line holds no key, a line starting with '#' is
// skipped.
KeyScript parse_key_script(std::istream& in);

// The keys as one script line.
std::string format_key_line(const KeySet& keys);

// Writes one script line of the keys for which `held(vk)` is true, without allocating.
template <class Held>
bool write_key_line(std::FILE* out, Held held) {
  bool first = true;
  for (int slot = 0; slot < game_key_count; ++slot) {
    if (!held(game_keys[slot])) continue;
    if (!first && std::fputc(' ', out) == EOF) return false;
    if (std::fputs(key_names[slot], out) == EOF) return false;
    first = false;
  }
  return std::fputc('\n', out) != EOF;
}

// A loaded script played line by line: every pass of the main loop takes the next line, and so
// does every poll of a blocking wait that finds its key up.
class ScriptedKeys {
 public:
  void load(std::vector<KeySet> lines);
  bool loaded() const { return loaded_; }
  // Moves to the next line; false when the script has ended.
  bool take_next_line();
  bool ended() const { return loaded_ && next_line_ >= lines_.size(); }
  std::size_t lines_taken() const { return next_line_; }
  // The line in force, if one has been taken.
  const KeySet* current() const { return current_; }

 private:
  std::vector<KeySet> lines_;
  const KeySet* current_ = nullptr;
  std::size_t next_line_ = 0;
  bool loaded_ = false;
};

}  // namespace platform
