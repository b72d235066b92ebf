#pragma once
// The platform's virtual-key codes for the keys the game reads (letters by their upper-case
// code), and key scripts: one line of held keys per pass of the main loop, as the headless
// game, the replay tool and a recorded match use them.

#include <cstddef>
#include <cstdio>
#include <istream>
#include <set>
#include <string>
#include <vector>

namespace platform {

constexpr int vk_return = 0x0D;
constexpr int vk_escape = 0x1B;
constexpr int vk_space = 0x20;
constexpr int vk_left = 0x25;
constexpr int vk_up = 0x26;
constexpr int vk_right = 0x27;
constexpr int vk_down = 0x28;
constexpr int vk_d = 0x44;
constexpr int vk_n = 0x4E;

// The keys a script names, in the order a line lists them.
struct ScriptKey {
  const char* name;
  int vk;
};
constexpr ScriptKey script_keys[] = {
    {"Left", vk_left},     {"Right", vk_right},   {"Up", vk_up}, {"Down", vk_down}, {"Space", vk_space},
    {"Return", vk_return}, {"Escape", vk_escape}, {"D", vk_d},   {"N", vk_n},
};
constexpr int script_key_count = static_cast<int>(sizeof script_keys / sizeof script_keys[0]);

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
  for (const ScriptKey& key : script_keys) {
    if (!held(key.vk)) continue;
    if (!first && std::fputc(' ', out) == EOF) return false;
    if (std::fputs(key.name, out) == EOF) return false;
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
