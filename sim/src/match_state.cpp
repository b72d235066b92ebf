#include "sim/match_state.h"

void face_off_reset(MatchState& match) {
  match.player_x = 240;
  match.player_y = 200;
  match.cpu_x = 400;
  match.cpu_y = 200;
  match.lgoalie_x = 75;
  match.lgoalie_y = 200;
  match.rgoalie_x = 501;
  match.rgoalie_y = 180;  // the right goalie faces off higher than at the start
  match.puck_x = 316;
  match.puck_y = 236;
  match.puck_dx = 0;
  match.puck_dy = 0;
  match.player_down_timer = 0;
  match.cpu_down_timer = 0;
  match.player_stride = 0;
  match.cpu_stride = 0;
  match.lgoalie_tracking = false;  // the right goalie keeps following a shot through a goal
}
