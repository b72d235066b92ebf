#pragma once
// What the game tells the player over its pictures, never in its frames: at the start of the
// first match, which skater is whose, the net to attack and the keys; during the game's waits,
// who scored or won and which key goes on. It decides from the match and the cues the frames
// report (as the sound board listens) and writes it into a screen's overlay (overlay.h).

#include <chrono>

#include "app/main_loop.h"
#include "sim/cues.h"

class GameGuide : public CueObserver, public LoopObserver {
 public:
  // Hears the match's cues and passes each on to `next` (if any) first; the skaters this machine
  // plays are `driver`'s to say (every one without a driver).
  GameGuide(const GuideOptions& options, CueObserver* next, const MatchDriver* driver = nullptr);
  ~GameGuide() override;
  GameGuide(const GameGuide&) = delete;
  GameGuide& operator=(const GameGuide&) = delete;

  // The start's hints go up over the match about to be played.
  void on_start(Match& match) override;
  void on_cue(const Cue& cue) override;
  // After each frame: the hints follow the skaters, and go at the first game key or when their
  // time is up.
  void after_frame(int result) override;

 private:
  void show_hints();
  void banner(CueWho who, int first_score, int second_score, const char* what, const char* key);

  GuideOptions options_;
  CueObserver* next_;
  const MatchDriver* driver_;
  const Match* match_ = nullptr;
  std::chrono::steady_clock::time_point hints_until_;
  bool hints_up_ = false;
};
