// rink-replay [--draws | --cues] [--picture OUT.png] [--players 1|2] SCRIPT: runs the real game
// headless on a key script (with the players it names, unless --players says) and prints, after every frame, the frame's result and the whole match
// state as one CSV line (with player two's own fields after it in a two-player match), or with
// --cues only the cues the frames gave; with --picture it also writes the last picture the game
// presented.

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/main_loop.h"
#include "draw_log.h"
#include "match_fields.h"
#include "platform/backend.h"
#include "platform/headless.h"
#include "platform/key_script.h"
#include "png_writer.h"
#include "sim/cues.h"
#include "sim/match_state.h"

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

void print_header() {
  std::fputs("frame,result", stdout);
  for (const auto& field : fields) std::printf(",%s", field.name);
  if (two_players()) {
    for (const auto& field : player_two_fields) std::printf(",%s", field.name);
  }
  std::fputc('\n', stdout);
}

void print_state() {
  for (const auto& field : fields) std::printf(",%ld", field.read(match));
  if (two_players()) {
    for (const auto& field : player_two_fields) std::printf(",%ld", field.read(player_two));
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

  void after_frame(int result) override {
    if (backend_.wait_ran_out()) return;
    const int frame = frame_++;
    if (cues_only_) return;
    flush_draws();
    std::printf("%d,%d", frame, result);
    print_state();
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
  int frame_ = 0;
};

int usage() {
  std::fprintf(stderr,
                "usage: rink-replay [--draws | --cues] [--picture OUT.png] [--players 1|2] SCRIPT   "
                "(SCRIPT a file of key lines, or - for standard input)\n");
  return 2;
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
  bool with_draws = false;
  bool cues_only = false;
  const char* picture_name = nullptr;
  const char* script_name = nullptr;
  const char* players = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--draws") == 0 && !with_draws && !cues_only) {
      with_draws = true;
    } else if (std::strcmp(argv[i], "--cues") == 0 && !with_draws && !cues_only) {
      cues_only = true;
    } else if (std::strcmp(argv[i], "--picture") == 0 && picture_name == nullptr && i + 1 < argc) {
      picture_name = argv[++i];
    } else if (std::strcmp(argv[i], "--players") == 0 && players == nullptr && i + 1 < argc) {
      players = argv[++i];
    } else if (script_name == nullptr) {
      script_name = argv[i];
    } else {
      return usage();
    }
  }
  if (script_name == nullptr) return usage();
  const int asked = players == nullptr ? 0 : std::strcmp(players, "1") == 0 ? 1 : std::strcmp(players, "2") == 0 ? 2 : -1;
  if (asked < 0) return usage();

  platform::LoadedScript script = platform::load_key_script(script_name);
  if (script.unreadable) {
    std::fprintf(stderr, "rink-replay: cannot read '%s': %s\n", script_name, script.error.c_str());
    return 2;
  }
  int playing = 1;
  if (!script.error.empty() || !platform::session_players(asked, script.players, playing, script.error)) {
    std::fprintf(stderr, "rink-replay: %s\n", script.error.c_str());
    return 2;
  }
  set_players(playing);

  platform::HeadlessBackend backend;
  backend.load_script(std::move(script.lines));
  platform::use_backend(&backend);
  DrawLog draws;
  if (with_draws) set_draw_observer(&draws);
  FramePrinter printer(backend, with_draws ? &draws : nullptr, cues_only);
  if (cues_only) {
    set_cue_observer(&printer);
    std::puts("frame,cue,strength,who");
  } else {
    print_header();
  }
  const int exit_code = win_main(nullptr, &printer);
  printer.flush_draws();
  set_draw_observer(nullptr);
  set_cue_observer(nullptr);
  platform::use_backend(nullptr);
  if (picture_name != nullptr && !save_picture(picture_name, backend)) return 1;
  return exit_code;
}
