// The game on a Linux desktop: the shell over the SDL backend and its sound, with the session's
// keys recorded or played back when asked.

#include <cstdio>
#include <memory>
#include <optional>

#include "app/main_loop.h"
#include "app/online_game.h"
#include "app/options.h"
#include "net/relay_client.h"
#include "platform/key_sessions.h"
#include "platform/recording_file.h"
#include "platform/sdl_backend.h"

namespace {

constexpr const char* program = "rink";

// The script to play, or nothing after a line on standard error; a line it left out is named in
// a warning.
std::optional<platform::LoadedScript> read_script(const std::string& path) {
  platform::LoadedScript script = platform::load_key_script(path.c_str());
  if (script.error.empty()) {
    if (!script.warning.empty()) std::fprintf(stderr, "rink: %s: warning: %s\n", path.c_str(), script.warning.c_str());
    return script;
  }
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

// A two-player recording says so on its first line, for a replay to play it so.
bool open_recording(platform::RecordingFile& file, const std::string& path, int players) {
  const std::string header = platform::players_line_of(players) + "# keys of a session of rink " RINK_VERSION
                             ", one line per pass: rink-replay plays them\n";
  if (file.open(path) && file.write(header.data(), header.size())) return true;
  std::fprintf(stderr, "rink: cannot write '%s': %s\n", path.c_str(), file.error().c_str());
  return false;
}

platform::SdlOptions screen_options(const Options& options, int keyboard_players) {
  return {options.windowed, options.display, options.whole_scale ? platform::ScaleMode::whole : platform::ScaleMode::sharp,
          keyboard_players};
}

// Closes a recording the game wrote; a failure to do so fails the session.
int close_recording(platform::RecordingFile& recording, const std::string& path, bool failed, int exit_code) {
  bool written = !failed;
  if (written && !recording.close()) {
    written = false;
    std::fprintf(stderr, "rink: cannot write the recording '%s': %s\n", path.c_str(), recording.error().c_str());
  }
  return written || exit_code != 0 ? exit_code : 1;
}

// A match with a friend through a relay, or watched: the room is had before the window opens,
// and a room made here has its code printed on standard output, one line, for the friend. A
// side that played prints what its rollback did, one line, when the match is over.
int play_online(const Options& options) {
  const std::string url = options.relay.empty() ? RINK_DEFAULT_RELAY : options.relay;
  const char* const online_option = options.watch ? "--watch" : "--online";
  if (url.empty()) {
    return command_line::refuse(program, std::string(online_option) + " needs a relay: give one with --relay ws://HOST[:PORT]");
  }
  std::string why;
  std::optional<net::RelayAddress> relay = net::parse_relay_address(url, why);
  if (!relay) return command_line::refuse(program, "--relay '" + url + "': " + why);
  std::string room = options.room;
  if (!room.empty()) {
    if (!net::read_room_code(room, why)) return command_line::refuse(program, std::string(online_option) + " " + why);
    relay->path = net::room_address(relay->path, room);
  }
  std::optional<platform::LoadedScript> script;
  if (!options.play_file.empty() && !(script = read_script(options.play_file))) return 2;
  platform::RecordingFile recording;
  const bool recorded = !options.record_file.empty();
  if (recorded && !open_recording(recording, options.record_file, 2)) return 2;
  const OnlineRole role = options.watch ? OnlineRole::watch : options.room.empty() ? OnlineRole::create : OnlineRole::join;
  OnlineGame online(std::make_unique<net::RelayClient>(*relay), role, room);
  constexpr int seat_wait_seconds = 10;
  if (!online.wait_for_seat(seat_wait_seconds)) {
    std::fprintf(stderr, "rink: cannot play online through %s: %s\n", url.c_str(), online.why().c_str());
    return 1;
  }
  if (role == OnlineRole::create) {
    std::printf("%s\n", online.code().c_str());
    std::fflush(stdout);
  }
  if (recorded) online.record_into(&recording, options.record_file.c_str());
  std::optional<platform::ScriptedKeys> keys;
  if (script) online.play_script(&keys.emplace(std::move(script->lines)));
  // Each side's keyboard plays one player, with the keys of a one-player game.
  platform::SdlBackend screen(screen_options(options, 1));
  screen.sound().set_volume(options.volume);
  screen.sound().set_muted(options.muted);
  online.show_on(&screen.overlay());
  const GuideOptions guide{.overlay = &screen.overlay(),
                           .hints = options.hints,
                           .keys_are_the_viewers = !script && role != OnlineRole::watch};
  const int exit_code = play_game(2, screen, screen.sound(), guide, &online);
  if (role != OnlineRole::watch) {
    std::printf("%u passes, %d rollbacks, %ld passes stepped again\n", online.passes(), online.rollbacks(),
                online.passes_stepped_again());
  }
  return recorded ? close_recording(recording, options.record_file, online.recording_failed(), exit_code) : exit_code;
}

int play(const Options& options) {
  std::optional<platform::LoadedScript> script;
  if (!options.play_file.empty() && !(script = read_script(options.play_file))) return 2;
  const std::optional<int> players = players_of(options, script);
  if (!players) return 2;
  platform::RecordingFile recording;
  const bool recorded = !options.record_file.empty();
  if (recorded && !open_recording(recording, options.record_file, *players)) return 2;

  platform::SdlBackend screen(screen_options(options, *players));
  platform::Backend* backend = &screen;
  std::optional<platform::ScriptedKeys> keys;
  std::optional<platform::KeyPlayback> playback;
  if (script) backend = &playback.emplace(*backend, keys.emplace(std::move(script->lines)));
  std::optional<platform::KeyRecording> recorder;
  if (recorded) backend = &recorder.emplace(*backend, recording, options.record_file.c_str());

  screen.sound().set_volume(options.volume);
  screen.sound().set_muted(options.muted);
  // A played script's keys are not the viewer's: no start hints, and banners that name no key.
  const GuideOptions guide{&screen.overlay(), options.hints, !script};
  const int exit_code = play_game(*players, *backend, screen.sound(), guide);
  // A line that could not be written was reported when it failed; closing the file may fail still.
  return recorder ? close_recording(recording, options.record_file, recorder->failed(), exit_code) : exit_code;
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = parse_options(argc, argv);
  if (!options.error.empty()) return command_line::refuse(program, options.error);
  if (options.help) return command_line::print_help(program, usage_text());
  if (options.version) return command_line::print_version(program, RINK_VERSION);
  return options.online || options.watch ? play_online(options) : play(options);
}
