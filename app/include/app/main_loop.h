#pragma once
// The program's shell: the window, its procedure and the loop that runs one frame per pass.

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>

#include "display/startup.h"
#include "platform/backend.h"
#include "platform/sound_output.h"
#include "platform/window.h"
#include "sim/match.h"

// Told about the match the loop plays and every frame it runs; the replay tool prints what it sees.
struct LoopObserver {
  virtual ~LoopObserver() = default;
  // The match before its first frame; it lives until win_main returns.
  virtual void on_start(Match& /*match*/) {}
  virtual void after_frame(int result) = 0;
};

struct MatchDriver;

// How the loop's match is played and who hears it; every observer may be null.
struct GameSession {
  int players = 1;
  LoopObserver* loop = nullptr;
  CueObserver* cues = nullptr;    // the match's cues
  DrawObserver* draws = nullptr;  // start-up's boxes and every frame's display calls
  MatchDriver* driver = nullptr;  // null: the main loop's passes on this machine's keys
};

// One pass of a frame with the keys the platform holds. A frame that waits polls its wait (a
// wait that no key can end any more goes on without it); otherwise a new frame starts, Escape
// first asking the window to close. A box the frame asked for is shown when the frame ends.
PassEnd play_pass(Match& match);
// One frame of the match: its passes until it ends, each poll of a wait giving the processor
// away, then the game's pace after a finished frame. 1 when the frame ran to its end, 0 when a
// draw failed.
int play_frame(Match& match);
// The keys the platform holds now, between the players.
PassKeys held_keys();

// What a caller of the main loop does before its next pass.
struct LoopRest {
  enum class Kind {
    none,   // the next pass may come at once
    pace,   // a frame ended: the game's pace (`value` milliseconds) comes first
    wait,   // the frame waits for the key `value`: the next pass is a poll of its wait
    quit,   // the loop has ended with the exit code `value`
  };
  Kind kind = Kind::none;
  int value = 0;
};

// What plays the match once the game has started, instead of the passes of the main loop on
// this machine's keys (online play), one pass at a time like the main loop.
struct MatchDriver {
  virtual ~MatchDriver() = default;
  // One pass, telling `observer` (may be null) of every frame it ends; what comes before the next.
  virtual LoopRest pass(Match& match, LoopObserver* observer) = 0;
  // The player this machine's keys play (1 or 2) with a one-player game's keys; 0: every player
  // of the match; -1: not known yet (online, until the relay has given the seat).
  virtual int own_player() const { return 0; }
};

// The program from its window to its teardown, one pass of the main loop at a time: win_main
// runs it over a loop that blocks between passes, a web page from the browser's own loop.
class GameShell {
 public:
  explicit GameShell(const GameSession& session) : session_(session) {}
  GameShell(const GameShell&) = delete;
  GameShell& operator=(const GameShell&) = delete;

  // How far the start has come.
  enum class Start { going, done, failed };

  // Registers the window class, creates the full-screen window, starts the display and the
  // match. False (finish() gives 1, after one line on standard error, which last_error() keeps)
  // when the window, the display or the game's data cannot be had; a box it asked for is shown
  // by the backend's message box as always.
  bool start(void* instance);
  // The same start a step at a time: the window, then the game's data and the display, then the
  // match; `done` or `failed` once it has ended (and from then on). A web page runs one step a
  // task, so that the browser is never held up for the whole start.
  Start start_step(void* instance);
  // One message at most (none while a frame waits), then a pass of the frame (play_pass); with a
  // driver, the driver's pass.
  LoopRest pass();
  // Tears down what start made; the process's exit code.
  int finish();

 private:
  // The steps of the start, in their order.
  enum class Step { window, display, play };
  bool open_window(void* instance);
  bool start_display();
  void start_play();

  GameSession session_;
  Step next_step_ = Step::window;
  Start started_ = Start::going;
  DisplayContext display_;
  platform::Random random_;  // the start palette's colours, then the match's
  bool started_up_ = false;  // teardown releases what start-up made, even when it failed
  std::optional<Match> match_;
  int exit_code_ = 1;
};

// Registers the window class, creates the full-screen window, starts the display, runs the loop
// until the quit request and tears down. Returns the process's exit code: the quit request's
// code, or 1 (after one line on standard error, which last_error() keeps) when the window or the
// display cannot be had.
int win_main(void* instance, const GameSession& session = {});

namespace platform {
class Overlay;
}
class GameGuide;
class SoundBoard;

// What the game tells over its pictures (game_guide.h): by default nothing.
struct GuideOptions {
  platform::Overlay* overlay = nullptr;  // the screen's overlay; null: nothing is shown
  bool hints = true;                      // the start's hints and the waits' banners (--no-hints: neither)
  // False when a key script plays: the keys are not the viewer's, so the start's hints stay
  // away and the banners tell what happened without naming a key to press.
  bool keys_are_the_viewers = true;
  // How long the start's hints stay when no game key comes first.
  std::chrono::milliseconds hints_for{5000};
};

// The program's game for PLAYERS over BACKEND, every cue heard through SOUND (sound_board.h) and
// told over the pictures as GUIDE says (game_guide.h): chosen while it lives, none after it.
class PlayedGame {
 public:
  PlayedGame(int players, platform::Backend& backend, platform::SoundOutput& sound, const GuideOptions& guide,
             MatchDriver* driver = nullptr);
  ~PlayedGame();
  PlayedGame(const PlayedGame&) = delete;
  PlayedGame& operator=(const PlayedGame&) = delete;

  GameShell& shell() { return shell_; }

 private:
  std::unique_ptr<SoundBoard> sounds_;  // none without the game's data: win_main tells that fault
  std::unique_ptr<GameGuide> guidance_;
  GameShell shell_;
};

// A PlayedGame run by win_main's loop (or by DRIVER); its exit code.
int play_game(int players, platform::Backend& backend, platform::SoundOutput& sound, const GuideOptions& guide = {},
              MatchDriver* driver = nullptr);

platform::LResult rink_window_proc(platform::Window window, std::uint32_t message, platform::WParam wparam,
                                   platform::LParam lparam);
