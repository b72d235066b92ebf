#include "sim/match.h"

void restore(Match& into, const Match& from) {
  const Canvas canvas = into.canvas;
  CueObserver* const cues = into.cues;
  into = from;
  into.canvas = canvas;
  into.cues = cues;
  copy_picture(into.canvas, from.canvas);
}

bool same_play(const Match& a, const Match& b) {
  return static_cast<const MatchState&>(a) == static_cast<const MatchState&>(b) && a.two_players == b.two_players &&
         a.player_two == b.player_two && a.player_draw_position == b.player_draw_position &&
         a.player_two_draw_position == b.player_two_draw_position && a.random == b.random &&
         a.progress == b.progress && a.keys == b.keys;
}
