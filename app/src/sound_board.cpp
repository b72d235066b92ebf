#include "app/sound_board.h"

#include <cstdio>

#include "platform/sound_file.h"

namespace {

// A blow's loudness follows its strength, from `softest` for the lightest touch to full volume.
int by_strength(int strength, int softest) { return softest + (100 - softest) * strength / full_strength; }

// The winner's jingle, and the sting when the computer beat the one player; in a match of two
// players somebody always won.
SoundBoard::Sound match_end(CueWho winner, bool two_players) {
  return winner == CueWho::second_skater && !two_players ? SoundBoard::lose : SoundBoard::win;
}

}  // namespace

SoundBoard::SoundBoard(platform::SoundOutput& output, int players) : output_(output), two_players_(players == 2) {
  for (int sound = 0; sound < sound_count; ++sound) {
    platform::SoundFile file = platform::load_game_sound(files[sound]);
    if (file.error.empty()) {
      numbers_[sound] = output_.add_sound(files[sound], std::move(file.samples));
    } else {
      std::fprintf(stderr, "rink: sound %s: %s; its cue stays silent\n", files[sound], file.error.c_str());
      numbers_[sound] = -1;
    }
  }
}

void SoundBoard::on_cue(const Cue& cue) {
  auto play = [this](Sound sound, int volume) {
    if (numbers_[sound] >= 0) output_.play(numbers_[sound], volume);
  };
  switch (cue.kind) {
    case CueKind::shot: play(shot, by_strength(cue.strength, 35)); break;
    case CueKind::boards: play(boards, by_strength(cue.strength, 30)); break;
    case CueKind::post: play(post, by_strength(cue.strength, 40)); break;
    case CueKind::save: play(save, by_strength(cue.strength, 40)); break;
    case CueKind::fall: play(check, 100); break;
    case CueKind::goal: play(goal, 100); break;
    case CueKind::face_off: play(whistle, 100); break;
    case CueKind::match_won: play(match_end(cue.who, two_players_), 100); break;
    case CueKind::new_match: break;  // play goes on from where everybody stands: no face-off
  }
}
