// rink-replay [--players 1|2] [--draws | --cues] [--picture OUT.png] SCRIPT: runs the real game
// headless on a key script (with the players it names, unless --players says) and prints, after
// every frame, the frame's result and the whole match
// state as one CSV line (with player two's own fields after it in a two-player match), or with
// --cues only the cues the frames gave; with --picture it also writes the last picture the game
// presented.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "app/main_loop.h"
#include "app/options.h"
#include "draw_log.h"
#include "sim/match_fields.h"
#include "platform/backend.h"
#include "platform/headless.h"
#include "platform/key_script.h"
#include "png_writer.h"
#include "sim/cues.h"
#include "sim/match.h"

namespace {

template <class Record>
struct Field {
  const char* name;
  long (*read)(const Record&);
};

#define MATCH_FIELD(f) Field<MatchState>{#f, [](const MatchState& m) { return static_cast<long>(m.f); }},
constexpr Field<MatchState> fields[] = {MATCH_FIELDS(MATCH_FIELD)};
#undef MATCH_FIELD

#define PLAYER_TWO_FIELD(f) \
  Field<PlayerTwoState>{"player_two_" #f, [](const PlayerTwoState& p) { return static_cast<long>(p.f); }},
constexpr Field<PlayerTwoState> player_two_fields[] = {PLAYER_TWO_FIELDS(PLAYER_TWO_FIELD)};
#undef PLAYER_TWO_FIELD

void print_header(int players) {
  std::fputs("frame,result", stdout);
  for (const auto& field : fields) std::printf(",%s", field.name);
  if (players == 2) {
    for (const auto& field : player_two_fields) std::printf(",%s", field.name);
  }
  std::fputc('\n', stdout);
}

void print_state(const Match& match) {
  for (const auto& field : fields) std::printf(",%ld", field.read(match));
  if (match.two_players) {
    for (const auto& field : player_two_fields) std::printf(",%ld", field.read(match.player_two));
  }
  std::fputc('\n', stdout);
}

// Prints each finished frame, preceded by its display calls when asked for, or only the cues of
// each frame. A frame cut short because the script ran out inside a blocking wait is not printed,
// nor are its cues after that wait: the cue before it (a goal, a match end) is what was heard.
class FramePrinter : public LoopObserver, public CueObserver {
 public:
  FramePrinter(const platform::HeadlessBackend& backend, DrawLog* draws, bool cues_only)
      : backend_(backend), draws_(draws), cues_only_(cues_only) {}

  void on_start(Match& match) override { match_ = &match; }

  void after_frame(int result) override {
    if (backend_.wait_ran_out()) return;
    const int frame = frame_++;
    if (cues_only_) return;
    flush_draws();
    std::printf("%d,%d", frame, result);
    print_state(*match_);
  }

  void on_cue(const Cue& cue) override {
    if (backend_.wait_ran_out()) return;
    std::printf("%d,%s,%d,%s\n", frame_, cue_kind_name(cue.kind), cue.strength, cue_who_name(cue.who));
  }

  // Prints the calls logged since the last frame (the start-up's message boxes come first).
  void flush_draws() {
    if (draws_ == nullptr || backend_.wait_ran_out()) return;
    for (const auto& line : draws_->lines()) std::printf("%s\n", line.c_str());
    draws_->clear();
  }

 private:
  const platform::HeadlessBackend& backend_;
  DrawLog* draws_;
  bool cues_only_;
  const Match* match_ = nullptr;
  int frame_ = 0;
};

constexpr const char* program = "rink-replay";

const char* replay_usage() {
  return "usage: rink-replay [--players 1|2] [--draws | --cues] [--picture OUT.png] SCRIPT\n"
         "       rink-replay --help | --version\n"
         "Runs the game headless on the key script SCRIPT (a file, or - for standard input) and\n"
         "prints the match state after every frame as CSV.\n"
         "  --players 1|2     play the script with one or two players (default: as it names them)\n"
         "  --draws           print each frame's display calls before its line\n"
         "  --cues            print only the cues the frames gave for sound\n"
         "  --picture OUT.png also write the last picture the game presented\n"
         "  --help            show this help and exit\n"
         "  --version         show the version and exit\n";
}

// What the command line asks for; `mistake` says what is wrong with it, or is empty.
struct Request {
  bool help = false;
  bool version = false;
  bool with_draws = false;
  bool cues_only = false;
  const char* picture_name = nullptr;
  const char* script_name = nullptr;
  int players = 0;  // 0: as the script names them
  std::string mistake;
};

Request parse_request(int argc, char** argv) {
  Request request;
  std::string& mistake = request.mistake;
  for (int i = 1; i < argc && mistake.empty(); ++i) {
    const std::string argument = argv[i];
    const bool takes_value = argument == "--picture" || argument == "--players";
    if (takes_value && i + 1 >= argc) {
      mistake = "option '" + argument + "' needs a value";
    } else if (argument == "--help" || argument == "-h") {
      request.help = true;
    } else if (argument == "--version") {
      request.version = true;
    } else if (argument == "--draws" || argument == "--cues") {
      if (request.with_draws || request.cues_only) mistake = "one of --draws and --cues only, not '" + argument + "' too";
      (argument == "--draws" ? request.with_draws : request.cues_only) = true;
    } else if (argument == "--picture") {
      request.picture_name = argv[++i];
      if (*request.picture_name == '\0') mistake = "--picture needs a file name, not ''";
    } else if (argument == "--players") {
      command_line::parse_players(argv[++i], request.players, mistake);
    } else if (argument.size() > 1 && argument[0] == '-') {
      mistake = "unknown option '" + argument + "'";
    } else if (request.script_name != nullptr) {
      mistake = "one script only, not '" + argument + "' too";
    } else {
      request.script_name = argv[i];
    }
  }
  if (mistake.empty() && !request.help && !request.version && request.script_name == nullptr) {
    mistake = "no script named (a file, or - for standard input)";
  }
  return request;
}

// The script, or nothing after a line on standard error that names it; a line it left out is
// named in a warning.
std::optional<platform::LoadedScript> read_script(const Request& request, int& players) {
  const char* name = request.script_name;
  platform::LoadedScript script = platform::load_key_script(name);
  if (script.unreadable) {
    std::fprintf(stderr, "rink-replay: cannot read '%s': %s\n", name, script.error.c_str());
    return std::nullopt;
  }
  if (!script.error.empty() || !platform::session_players(request.players, script.players, players, script.error)) {
    std::fprintf(stderr, "rink-replay: %s: %s\n", name, script.error.c_str());
    return std::nullopt;
  }
  if (!script.warning.empty()) std::fprintf(stderr, "rink-replay: %s: warning: %s\n", name, script.warning.c_str());
  return script;
}

bool save_picture(const char* path, const platform::HeadlessBackend& backend) {
  constexpr int width = platform::HeadlessBackend::screen_width;
  if (png::save_indexed(path, width, platform::HeadlessBackend::screen_height, backend.presented_pixels().data(),
                        width, backend.presented_palette().data())) {
    return true;
  }
  std::fprintf(stderr, "rink-replay: cannot write '%s': %s\n", path, std::strerror(errno));
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  const Request request = parse_request(argc, argv);
  if (!request.mistake.empty()) return command_line::refuse(program, request.mistake);
  if (request.help) return command_line::print_help(program, replay_usage());
  if (request.version) return command_line::print_version(program, RINK_VERSION);
  if (!command_line::output_open(program)) return 1;
  int playing = 1;
  std::optional<platform::LoadedScript> script = read_script(request, playing);
  if (!script) return command_line::mistake_status;

  platform::HeadlessBackend backend;
  backend.load_script(std::move(script->lines));
  platform::use_backend(&backend);
  DrawLog draws;
  FramePrinter printer(backend, request.with_draws ? &draws : nullptr, request.cues_only);
  if (request.cues_only) {
    std::puts("frame,cue,strength,who");
  } else {
    print_header(playing);
  }
  const GameSession session{playing, &printer, request.cues_only ? &printer : nullptr,
                            request.with_draws ? &draws : nullptr};
  const int exit_code = win_main(nullptr, session);
  printer.flush_draws();
  platform::use_backend(nullptr);
  const int written = command_line::finish_output(program, exit_code);
  if (request.picture_name != nullptr && !save_picture(request.picture_name, backend)) return 1;
  return written;
}
