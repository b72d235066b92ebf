#pragma once
// Key scripts: one line of held keys per pass of the main loop (and one per poll of a blocking
// wait), as the headless game, the replay tool, a recorded or played match and the page's
// ?play= use them. This is the one reader of them, and the one source of scripted keys.

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "platform/keys.h"

namespace platform {

// The name of each game key in a script, by slot.
constexpr const char* key_names[game_key_count] = {"Left",   "Right",   "Up",   "Down",    "Space",  "Return",
                                                   "Escape", "D",       "N",    "P2Left",  "P2Right", "P2Up",
                                                   "P2Down", "P2Shoot", "P2Check"};

// A script's bounds: its reader never holds more than a line of this length, and a whole
// script read beforehand has at most this many lines (more than a day of play).
constexpr std::size_t max_line_length = 256;
constexpr std::size_t max_script_lines = 1000000;

// One line of a script, without its newline: key names separated by blanks (a carriage return
// counts as one); an empty line holds no key; a line starting with '#' is a comment. A line of
// anything but printable ASCII, blanks and tabs is not text. `error` tells why a line is bad,
// without its number: "unknown key 'Jump'", "not text".
enum class KeyLine { keys, comment, bad };
KeyLine parse_key_line(std::string_view line, KeySet& keys, std::string& error);

// A script may open with the line "# players 2" (or "# players 1"): the session it holds is a
// two-player one (a one-player one), and is played so, unless told otherwise. To a reader that
// does not know this line it is a comment; without it a script is a one-player session's.
constexpr std::string_view players_line = "# players ";

// Opens a script of a two-player session with its players_line; a one-player script opens as
// such scripts always did, without one: the line with its newline, or nothing.
std::string players_line_of(int players);
// Writes it; false when it cannot be written.
bool write_players_line(std::FILE* out, int players);

// The number of players to play a script with: `asked` when given (0: nothing asked), else
// what the script names (`named`, 0: nothing), else one. False, with `error` telling why, when the
// script names another number than asked.
bool session_players(int asked, int named, int& players, std::string& error);

// Reads a script from its bytes as they come, a line at a time, holding at most one line.
class KeyScriptReader {
 public:
  enum class Step {
    line,    // `keys` holds the next line's
    more,    // no whole line yet: feed more bytes
    end,     // the script has ended (after finish())
    failed,  // error() tells why, naming the line
  };

  // The next bytes of the script; feed them in pieces of a few kilobytes, taking every line
  // they hold before the next piece, and the reader's memory stays small.
  void feed(std::string_view bytes);
  // No more bytes come: a last line without its newline counts too when it reads as keys; one
  // that does not (a recording cut short by a full disk or a crash) is left out, and warning()
  // says so, unless it is the first line.
  void finish() { finished_ = true; }
  // The next line of keys, comments skipped.
  Step next(KeySet& keys);
  const std::string& error() const { return error_; }
  // Why the unfinished last line was left out ("line 448: unfinished and left out: unknown key
  // 'Sp'"), or empty.
  const std::string& warning() const { return warning_; }
  // The players its first line names (players_line), or 0.
  int players() const { return players_; }

 private:
  bool read_players(std::string_view line);

  Step fail(const std::string& why);
  Step refuse_long_line();

  std::string pending_;
  std::size_t taken_ = 0;  // bytes of pending_ already read
  std::size_t line_number_ = 0;
  bool finished_ = false;
  int players_ = 0;
  std::string error_;
  std::string warning_;
};

// A whole script read beforehand. `error` tells why it was refused: what it holds ("line 3:
// unknown key 'Jump'", "no line of keys") or, with `unreadable`, why the file could not be had.
// A script that plays may still carry the reader's warning.
struct LoadedScript {
  std::vector<KeySet> lines;
  int players = 0;  // as the script names them (players_line), or 0
  std::string error;
  bool unreadable = false;
  std::string warning;
};
LoadedScript read_key_script(std::string_view text);
// What both build on, for a reader fed from elsewhere (the page's download): takes every line the
// reader holds into SCRIPT, with its players and warning; false once the script is refused.
bool take_script_lines(KeyScriptReader& reader, LoadedScript& script);
// A script must hold at least one line of keys to be played: refused, and emptied, otherwise.
LoadedScript checked_script(LoadedScript script);
// PATH names a regular file or a pipe ("-" is standard input); a folder or a device is refused.
LoadedScript load_key_script(const char* path);

// The keys as one script line.
std::string format_key_line(const KeySet& keys);

// One script line of the keys for which `held(vk)` is true, newline included, into `line`, without
// allocating; returns its length.
using KeyLineBuffer = char[max_line_length + 1];
template <class Held>
std::size_t key_line_into(KeyLineBuffer& line, Held held) {
  std::size_t length = 0;
  for (int slot = 0; slot < game_key_count; ++slot) {
    if (!held(game_keys[slot])) continue;
    if (length > 0) line[length++] = ' ';
    for (const char* c = key_names[slot]; *c != '\0'; ++c) line[length++] = *c;
  }
  line[length++] = '\n';
  return length;
}

// Writes one script line of the keys for which `held(vk)` is true, without allocating.
template <class Held>
bool write_key_line(std::FILE* out, Held held) {
  KeyLineBuffer line;
  const std::size_t length = key_line_into(line, held);
  return std::fwrite(line, 1, length, out) == length;
}

// Where scripted keys come from, a line at a time: a script read beforehand, the autopilot
// deciding on the match, a recording still being written.
class KeySource {
 public:
  // A line for a pass of the main loop, or for a poll of a blocking wait that found its key up.
  enum class For { pass, wait };
  virtual ~KeySource() = default;
  // The keys of the next line; false when no further line can come.
  virtual bool next_line(For what, KeySet& keys) = 0;
};

// A script read beforehand, played line by line without allocating.
class ScriptedKeys : public KeySource {
 public:
  explicit ScriptedKeys(std::vector<KeySet> lines) : lines_(std::move(lines)) {}
  bool next_line(For what, KeySet& keys) override;
  bool ended() const { return next_line_ >= lines_.size(); }
  std::size_t lines_taken() const { return next_line_; }

 private:
  std::vector<KeySet> lines_;
  std::size_t next_line_ = 0;
};

}  // namespace platform
