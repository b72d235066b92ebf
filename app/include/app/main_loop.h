#pragma once
// The program's shell: the window, its procedure and the loop that runs one frame per pass.

#include <chrono>
#include <cstdint>

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

// What plays the match once the game has started: by default the loop of frames on this
// machine's keys; online play has its own.
struct MatchDriver {
  virtual ~MatchDriver() = default;
  // Plays until the quit request, telling `observer` (may be null) of every frame; the quit's code.
  virtual int run(Match& match, LoopObserver* observer) = 0;
};

// How the loop's match is played and who hears it; every observer may be null.
struct GameSession {
  int players = 1;
  LoopObserver* loop = nullptr;
  CueObserver* cues = nullptr;    // the match's cues
  DrawObserver* draws = nullptr;  // start-up's boxes and every frame's display calls
  MatchDriver* driver = nullptr;  // null: the loop of frames on this machine's keys
};

// One frame of the match with the keys the platform holds: Escape asks to close the window, then
// the frame's step, and while it waits one more step at each poll of the wait (a wait that no key
// can end any more goes on without it). A box the frame asked for is shown, and a finished frame
// is followed by the game's pace. 1 when the frame ran to its end, 0 when a draw failed.
int play_frame(Match& match);
// The keys the platform holds now, between the players.
PassKeys held_keys();

// Registers the window class, creates the full-screen window, starts the display, runs the loop
// until the quit request and tears down. Returns the process's exit code: the quit request's
// code, or 1 (after one line on standard error, which last_error() keeps) when the window or the
// display cannot be had.
int win_main(void* instance, const GameSession& session = {});

namespace platform {
class Overlay;
}

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

// The program's game for PLAYERS: win_main over BACKEND, every cue heard through SOUND
// (sound_board.h) and told over the pictures as GUIDE says (game_guide.h); none stays chosen after it.
int play_game(int players, platform::Backend& backend, platform::SoundOutput& sound, const GuideOptions& guide = {},
              MatchDriver* driver = nullptr);

platform::LResult rink_window_proc(platform::Window window, std::uint32_t message, platform::WParam wparam,
                                   platform::LParam lparam);
