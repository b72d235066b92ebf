// The game on a Linux desktop: the shell over the SDL backend and its sound, with the session's
// keys recorded or played back when asked.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

#include "app/main_loop.h"
#include "app/options.h"
#include "platform/key_sessions.h"
#include "platform/sdl_backend.h"
#include "sim/match_state.h"

namespace {

// The script to play, or nothing after a line on standard error.
std::optional<platform::LoadedScript> read_script(const std::string& path) {
  platform::LoadedScript script = platform::load_key_script(path.c_str());
  if (script.error.empty()) return script;
  const char* form = script.unreadable ? "rink: cannot read '%s': %s\n" : "rink: %s: %s\n";
  std::fprintf(stderr, form, path.c_str(), script.error.c_str());
  return std::nullopt;
}

// The players of the session: as asked, else as the script to play names them; nothing after
// a line on standard error when the two differ.
std::optional<int> players_of(const Options& options, const std::optional<platform::LoadedScript>& script) {
  int players = 1;
  std::string error;
  if (platform::session_players(options.players, script ? script->players : 0, players, error)) return players;
  std::fprintf(stderr, "rink: %s: %s\n", options.play_file.c_str(), error.c_str());
  return std::nullopt;
}

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// A two-player recording says so on its first line, for a replay to play it so.
File open_recording(const std::string& path, int players) {
  File file(std::fopen(path.c_str(), "w"), std::fclose);
  if (!file) {
    std::fprintf(stderr, "rink: cannot write '%s': %s\n", path.c_str(), std::strerror(errno));
  } else {
    platform::write_players_line(file.get(), players);
    std::fprintf(file.get(), "# keys of a session of rink %s, one line per pass: rink-replay plays them\n",
                 RINK_VERSION);
  }
  return file;
}

int play(const Options& options) {
  std::optional<platform::LoadedScript> script;
  if (!options.play_file.empty() && !(script = read_script(options.play_file))) return 2;
  const std::optional<int> players = players_of(options, script);
  if (!players) return 2;
  File recording(nullptr, std::fclose);
  if (!options.record_file.empty() && !(recording = open_recording(options.record_file, *players))) return 2;

  set_players(*players);
  platform::SdlBackend screen({options.windowed, options.display,
                               options.whole_scale ? platform::ScaleMode::whole : platform::ScaleMode::sharp, *players});
  platform::Backend* backend = &screen;
  std::optional<platform::ScriptedKeys> keys;
  std::optional<platform::KeyPlayback> playback;
  if (script) backend = &playback.emplace(*backend, keys.emplace(std::move(script->lines)));
  std::optional<platform::KeyRecording> recorder;
  if (recording) backend = &recorder.emplace(*backend, recording.get(), options.record_file.c_str());

  screen.sound().set_volume(options.volume);
  screen.sound().set_muted(options.muted);
  const int exit_code = play_game(*backend, screen.sound());
  if (!recorder) return exit_code;
  // A line that could not be written was reported when it failed; closing the file may fail still.
  bool written = !recorder->failed();
  if (written && std::fclose(recording.release()) != 0) {
    written = false;
    std::fprintf(stderr, "rink: cannot write the recording '%s': %s\n", options.record_file.c_str(),
                 std::strerror(errno));
  }
  return written || exit_code != 0 ? exit_code : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = parse_options(argc, argv);
  if (!options.error.empty()) {
    std::fprintf(stderr, "rink: %s\n%s", options.error.c_str(), usage_text());
    return 2;
  }
  if (options.help) {
    std::fputs(usage_text(), stdout);
    return 0;
  }
  if (options.version) {
    std::printf("rink %s\n", RINK_VERSION);
    return 0;
  }
  return play(options);
}
