#include "sim/frame.h"

#include "display/display_ops.h"
#include "player_rules.h"
#include "sim/match_state.h"
#include "sim/stages.h"

DrawPosition player_draw_position;
DrawPosition player_two_draw_position;

namespace {
constexpr int frame_pause_ms = 100;

// A player's turn after the knocked-down countdown: carrying, lying, checking or skating.
bool player_turn(const SkaterOnSide& s) {
  if (s.own.has_puck) return shot_step(s);
  if (s.own.down_timer != 0) return true;  // still lying on the ice
  if (s.key_down(VK_RETURN)) return check_step(s);
  return skate_step(s);
}

// The second skater's turn: the computer's, or player two's in a two-player match.
bool second_skater_turn() {
  if (!two_players()) return update_cpu_skater();
  player_two_draw_position = {match.cpu_x, match.cpu_y};
  return player_two_down_step() && player_two_turn();
}
}  // namespace

bool player_one_turn() { return player_turn(player_one_side()); }
bool player_two_turn() { return player_turn(player_two_side()); }

int rink_frame() {
  if (key_down(VK_ESCAPE)) request_close();                      // Escape: the loop ends at its next pass
  hide_cursor();                                                  // no cursor over the game
  if (!blit_background()) return 0;                               // the rink
  player_draw_position = {match.player_x, match.player_y};        // player one is drawn before moving
  if (!player_down_step()) return 0;                              // knocked-down countdown
  const bool carrying = match.player_has_puck;                    // decides player one's turn
  if (!player_one_turn()) return 0;                               // skate, wind up and shoot, or check
  if (!carrying && !match.player_has_puck && !match.cpu_has_puck  // the free puck, unless just shot
      && !update_free_puck()) return 0;
  if (!second_skater_turn()) return 0;                            // the computer or player two
  if (!update_goalies()) return 0;                                // both goalies
  if (!finish_frame()) return 0;                                  // scoreboard, present, match end
  pause_ms(frame_pause_ms);                                       // the game's pace
  return 1;
}
