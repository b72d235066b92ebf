#pragma once
// The autopilot of player one or player two: keys for the next pass from the match as it stands.
// Its play is simple but varied: it chases loose pucks, carries the puck to changing shooting
// spots, winds up for changing lengths and aims, and checks the other skater. Player one's wrote
// the golden session of the tests, and plays the end-to-end tests' recorded matches; player
// two's is the same autopilot, deciding on the match seen from the other end.

#include "platform/key_script.h"
#include "sim/match_state.h"

class Autopilot {
 public:
  explicit Autopilot(int player = 1) : player_(player) {}
  // Player two's autopilot needs player two's own state too.
  platform::KeySet decide(const MatchState& m, const PlayerTwoState& two = {});

 private:
  platform::KeySet decide_as_player_one(const MatchState& m);
  platform::KeySet carry(const MatchState& m);
  platform::KeySet steer_carrier(const MatchState& m, int x, int y) const;
  bool find_clean_shot(const MatchState& m);
  platform::KeySet chase_carrier(const MatchState& m);

  bool carrying_before_ = false;
  int plan_ = 0;
  int windup_ = 1;
  int aim_key_ = 0;
  int check_turn_ = 0;
  int player_;
};

// The autopilots of the players asked for, their keys held together.
class Autopilots {
 public:
  Autopilots(bool drives_one, bool drives_two) : drives_one_(drives_one), drives_two_(drives_two) {}
  platform::KeySet decide(const MatchState& m, const PlayerTwoState& two);

 private:
  bool drives_one_;
  bool drives_two_;
  Autopilot one_{1};
  Autopilot two_{2};
};
