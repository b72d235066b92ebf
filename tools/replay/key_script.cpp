#include "key_script.h"

#include <array>
#include <sstream>
#include <utility>

#include "display/display_ops.h"

namespace {

constexpr std::array<std::pair<const char*, int>, 9> key_names{{
    {"Left", VK_LEFT},
    {"Right", VK_RIGHT},
    {"Up", VK_UP},
    {"Down", VK_DOWN},
    {"Space", VK_SPACE},
    {"Return", VK_RETURN},
    {"Escape", VK_ESCAPE},
    {"D", VK_D},
    {"N", VK_N},
}};

// The key code of a name, or 0.
int key_code(const std::string& name) {
  for (const auto& [key_name, code] : key_names) {
    if (name == key_name) return code;
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
    platform::KeySet keys;
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

std::string format_key_line(const platform::KeySet& keys) {
  std::string line;
  for (const auto& [name, code] : key_names) {
    if (keys.count(code) == 0) continue;
    if (!line.empty()) line += ' ';
    line += name;
  }
  return line;
}
