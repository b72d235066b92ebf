#include "platform/key_script.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform {

namespace {

// How much of an unknown name an error shows.
constexpr std::size_t shown_name_length = 24;

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

bool is_text(char c) { return (c >= 0x20 && c <= 0x7E) || is_blank(c); }

// The key code of a name, or 0.
int key_code(std::string_view name) {
  for (int slot = 0; slot < game_key_count; ++slot) {
    if (name == key_names[slot]) return game_keys[slot];
  }
  return 0;
}

// The line has been found to be text, so the name is printable; a long one is cut short.
std::string shown_name(std::string_view name) {
  if (name.size() <= shown_name_length) return std::string(name);
  return std::string(name.substr(0, shown_name_length)) + "...";
}

// Why a file cannot be a script, or "" when it can: only regular files and pipes are read
// through (a terminal on standard input too).
std::string unusable_file(int fd, bool standard_input) {
  struct stat status {};
  if (fstat(fd, &status) != 0) return std::strerror(errno);
  if (S_ISDIR(status.st_mode)) return "a folder, not a key script";
  if (S_ISREG(status.st_mode) || S_ISFIFO(status.st_mode) || standard_input) return "";
  return "a device, not a key script";
}

const char* players_name(int players) { return players == 2 ? "two" : "one"; }

}  // namespace

bool take_script_lines(KeyScriptReader& reader, LoadedScript& script) {
  KeySet keys;
  for (;;) {
    const KeyScriptReader::Step step = reader.next(keys);
    script.players = reader.players();
    script.warning = reader.warning();
    switch (step) {
      case KeyScriptReader::Step::line:
        if (script.lines.size() == max_script_lines) {
          script.error = "more than " + std::to_string(max_script_lines) + " lines";
          return false;
        }
        script.lines.push_back(keys);
        break;
      case KeyScriptReader::Step::failed: script.error = reader.error(); return false;
      case KeyScriptReader::Step::more:
      case KeyScriptReader::Step::end: return true;
    }
  }
}

LoadedScript checked_script(LoadedScript script) {
  if (script.error.empty() && script.lines.empty()) script.error = "no line of keys";
  if (!script.error.empty()) script.lines.clear();
  return script;
}

std::string players_line_of(int players) {
  return players == 2 ? std::string(players_line) + "2\n" : std::string();
}

bool write_players_line(std::FILE* out, int players) {
  const std::string line = players_line_of(players);
  return std::fwrite(line.data(), 1, line.size(), out) == line.size();
}

bool session_players(int asked, int named, int& players, std::string& error) {
  if (asked != 0 && named != 0 && asked != named) {
    error = std::string("the script holds a ") + players_name(named) + "-player session, not a " +
            players_name(asked) + "-player one";
    return false;
  }
  players = asked != 0 ? asked : named != 0 ? named : 1;
  return true;
}

KeyLine parse_key_line(std::string_view line, KeySet& keys, std::string& error) {
  keys = KeySet{};
  for (const char c : line) {
    if (!is_text(c)) {
      error = "not text";
      return KeyLine::bad;
    }
  }
  if (!line.empty() && line.front() == '#') return KeyLine::comment;
  std::size_t at = 0;
  while (at < line.size()) {
    while (at < line.size() && is_blank(line[at])) ++at;
    std::size_t end = at;
    while (end < line.size() && !is_blank(line[end])) ++end;
    if (end == at) break;
    const std::string_view name = line.substr(at, end - at);
    const int vk = key_code(name);
    if (vk == 0) {
      error = "unknown key '" + shown_name(name) + "'";
      return KeyLine::bad;
    }
    keys.insert(vk);
    at = end;
  }
  return KeyLine::keys;
}

void KeyScriptReader::feed(std::string_view bytes) {
  pending_.erase(0, taken_);
  taken_ = 0;
  pending_.append(bytes);
}

KeyScriptReader::Step KeyScriptReader::fail(const std::string& why) {
  error_ = "line " + std::to_string(line_number_) + ": " + why;
  pending_.clear();
  taken_ = 0;
  return Step::failed;
}

// A line longer than the bound is refused as soon as it is seen, without waiting for its end; a
// byte that is not text within its first bound's worth makes it "not text" instead, so that a
// binary file is named for what it is, however the bytes came in pieces.
KeyScriptReader::Step KeyScriptReader::refuse_long_line() {
  ++line_number_;
  const std::string_view seen(pending_.data() + taken_, max_line_length + 1);
  for (const char c : seen) {
    if (!is_text(c)) return fail("not text");
  }
  return fail("longer than " + std::to_string(max_line_length) + " characters");
}

KeyScriptReader::Step KeyScriptReader::next(KeySet& keys) {
  if (!error_.empty()) return Step::failed;
  for (;;) {
    const std::size_t newline = pending_.find('\n', taken_);
    const bool unfinished = newline == std::string::npos;
    const std::size_t end = unfinished ? pending_.size() : newline;
    const std::size_t length = end - taken_;
    if (length > max_line_length) return refuse_long_line();
    if (unfinished && !finished_) return Step::more;
    if (unfinished && length == 0) return Step::end;
    ++line_number_;
    const std::string_view line(pending_.data() + taken_, length);
    taken_ = unfinished ? end : end + 1;
    std::string why;
    switch (parse_key_line(line, keys, why)) {
      case KeyLine::keys: return Step::line;
      case KeyLine::comment:
        if (!read_players(line)) return fail("the players must be 1 or 2");
        continue;
      case KeyLine::bad:
        if (!unfinished || line_number_ == 1) return fail(why);
        warning_ = "line " + std::to_string(line_number_) + ": unfinished and left out: " + why;
        return Step::end;
    }
  }
}

// Only the first line can name the players; false when it names them wrongly.
bool KeyScriptReader::read_players(std::string_view line) {
  if (line_number_ != 1 || !line.starts_with(players_line)) return true;
  std::string_view count = line.substr(players_line.size());
  while (!count.empty() && is_blank(count.back())) count.remove_suffix(1);
  players_ = count == "1" ? 1 : count == "2" ? 2 : 0;
  return players_ != 0;
}

LoadedScript read_key_script(std::string_view text) {
  KeyScriptReader reader;
  reader.feed(text);
  reader.finish();
  LoadedScript script;
  take_script_lines(reader, script);
  return checked_script(std::move(script));
}

LoadedScript load_key_script(const char* path) {
  const bool standard_input = std::strcmp(path, "-") == 0;
  const int fd = standard_input ? STDIN_FILENO : open(path, O_RDONLY | O_CLOEXEC);
  LoadedScript script;
  if (fd < 0) {
    script.error = std::strerror(errno);
    script.unreadable = true;
    return script;
  }
  script.error = unusable_file(fd, standard_input);
  script.unreadable = !script.error.empty();
  KeyScriptReader reader;
  char piece[4096];
  while (script.error.empty()) {
    const ssize_t got = read(fd, piece, sizeof piece);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      script.error = std::strerror(errno);
      script.unreadable = true;
      break;
    }
    if (got == 0) reader.finish();
    reader.feed(std::string_view(piece, static_cast<std::size_t>(got)));
    if (!take_script_lines(reader, script) || got == 0) break;
  }
  if (!standard_input) close(fd);
  return checked_script(std::move(script));
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

bool ScriptedKeys::next_line(For /*what*/, KeySet& keys) {
  if (next_line_ >= lines_.size()) return false;
  keys = lines_[next_line_++];
  return true;
}

}  // namespace platform
