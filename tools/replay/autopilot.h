#pragma once
// Player one's autopilot: keys for the next pass from the match as it stands. Its play is simple
// but varied: it chases loose pucks, carries the puck to changing shooting spots, winds up for
// changing lengths and aims, and checks the computer. It wrote the golden session of the tests,
// and plays the end-to-end tests' recorded match.

#include "platform/key_script.h"
#include "sim/match_state.h"

class Autopilot {
 public:
  platform::KeySet decide(const MatchState& m);

 private:
  platform::KeySet carry(const MatchState& m);
  platform::KeySet steer_carrier(const MatchState& m, int x, int y) const;
  bool find_clean_shot(const MatchState& m);
  platform::KeySet chase_carrier(const MatchState& m);

  bool carrying_before_ = false;
  int plan_ = 0;
  int windup_ = 1;
  int aim_key_ = 0;
  int check_turn_ = 0;
};
