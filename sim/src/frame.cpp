#include "sim/frame.h"

#include "display/display_ops.h"
#include "sim/match_state.h"
#include "sim/stages.h"

PlayerDrawPosition player_draw_position;

bool draw_player_one(SpriteId image) { return blit_sprite(image, player_draw_position.x, player_draw_position.y); }

namespace {
constexpr int frame_pause_ms = 100;

// Player one's turn; false when a draw failed.
bool player_turn(bool carrying) {
  if (carrying) return player_shot_step();
  if (match.player_down_timer != 0) return true;  // still lying on the ice
  if (key_down(VK_RETURN)) return player_check_step();
  return player_skate_step();
}
}  // namespace

int rink_frame() {
  if (key_down(VK_ESCAPE)) request_close();                      // Escape: the loop ends at its next pass
  hide_cursor();                                                  // no cursor over the game
  if (!blit_background()) return 0;                               // the rink
  player_draw_position = {match.player_x, match.player_y};        // player one is drawn before moving
  if (!player_down_step()) return 0;                              // knocked-down countdown
  const bool carrying = match.player_has_puck;                    // decides player one's turn
  if (!player_turn(carrying)) return 0;                           // skate, wind up and shoot, or check
  if (!carrying && !match.player_has_puck && !match.cpu_has_puck  // the free puck, unless just shot
      && !update_free_puck()) return 0;
  if (!update_cpu_skater()) return 0;                             // the computer skater
  if (!update_goalies()) return 0;                                // both goalies
  if (!finish_frame()) return 0;                                  // scoreboard, present, match end
  pause_ms(frame_pause_ms);                                       // the game's pace
  return 1;
}
