#include "platform/key_script.h"

#include <sstream>

namespace platform {

namespace {

// The key code of a name, or 0.
int key_code(const std::string& name) {
  for (int slot = 0; slot < game_key_count; ++slot) {
    if (name == key_names[slot]) return game_keys[slot];
  }
  return 0;
}

}  // namespace

KeyScript parse_key_script(std::istream& in) {
  KeyScript script;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line.front() == '#') continue;
    std::istringstream words(line);
    KeySet keys;
    for (std::string word; words >> word;) {
      const int code = key_code(word);
      if (code == 0) {
        script.error = "line " + std::to_string(number) + ": unknown key '" + word + "'";
        return script;
      }
      keys.insert(code);
    }
    script.lines.push_back(std::move(keys));
  }
  return script;
}

std::string format_key_line(const KeySet& keys) {
  std::string line;
  for (int slot = 0; slot < game_key_count; ++slot) {
    if (keys.count(game_keys[slot]) == 0) continue;
    if (!line.empty()) line += ' ';
    line += key_names[slot];
  }
  return line;
}

void ScriptedKeys::load(std::vector<KeySet> lines) {
  lines_ = std::move(lines);
  current_ = nullptr;
  next_line_ = 0;
  loaded_ = true;
}

bool ScriptedKeys::take_next_line() {
  if (!loaded_ || next_line_ >= lines_.size()) return false;
  current_ = &lines_[next_line_++];  // pointed at, not copied: a frame allocates nothing
  return true;
}

}  // namespace platform
