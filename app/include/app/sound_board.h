#pragma once
// What the player hears of the match: each cue the simulation reports becomes one of the game's
// sound files at a loudness of its own, played through the chosen sound output. The simulation
// knows nothing of this; the platform knows nothing of cues.

#include <array>

#include "platform/sound_output.h"
#include "sim/cues.h"

class SoundBoard : public CueObserver {
 public:
  // The game's sounds, by the file each is read from.
  enum Sound { shot, boards, post, save, check, goal, whistle, win, lose, sound_count };
  static constexpr std::array<const char*, sound_count> files{
      "shot.wav", "boards.wav", "post.wav", "save.wav", "check.wav", "goal.wav", "whistle.wav", "win.wav", "lose.wav"};

  // Reads every sound file once into OUTPUT, for a match of PLAYERS whose cues it hears. A file
  // that cannot be had leaves its cues silent, after one line on standard error that says why;
  // the game plays on.
  SoundBoard(platform::SoundOutput& output, int players);
  SoundBoard(const SoundBoard&) = delete;
  SoundBoard& operator=(const SoundBoard&) = delete;

  void on_cue(const Cue& cue) override;

 private:
  platform::SoundOutput& output_;
  bool two_players_;
  std::array<int, sound_count> numbers_{};  // as the output knows them; -1: silent
};
