// Player one's two actions besides skating: winding up and shooting while carrying the puck
// (Space, aimed with Up and Down), and the body check on the computer skater (Return).

#include <algorithm>
#include <array>
#include <cstdint>

#include "display/display_ops.h"
#include "body_check.h"
#include "cue_report.h"
#include "display/sprites.h"
#include "sim/frame.h"
#include "sim/match_state.h"
#include "sim/rules.h"
#include "sim/stages.h"

namespace {

using enum SpriteId;

constexpr int windup_frames_per_image = 3;
constexpr std::array<SpriteId, 6> windup_images{playershootingright1, playershootingright2,
                                                playershootingright3, playershootingright4,
                                                playershootingright5, playershootingright6};

// One frame of wind-up: player one stands still, the aim follows Up and Down (Up wins).
bool wind_up() {
  const int last_image = static_cast<int>(windup_images.size()) - 1;
  const int image = std::clamp(match.player_windup / windup_frames_per_image, 0, last_image);
  if (!draw_player_one(windup_images[image])) {
    show_message("unable to blit", "error");
    return false;
  }
  match.shot_aim = key_down(VK_UP) ? aim_high : key_down(VK_DOWN) ? aim_low : aim_centre;
  ++match.player_windup;
  return true;
}

// Player one takes the puck, or goes down itself.
void resolve_check() {
  if (checker_faster(match.player_dx, match.player_dy, match.cpu_dx, match.cpu_dy)) {
    match.cpu_has_puck = false;
    match.player_has_puck = true;
    match.cpu_windup = 0;
    knock_down(match.cpu_down_timer, match.cpu_stride, CueWho::second_skater);
  } else {
    knock_down(match.player_down_timer, match.player_stride, CueWho::player_one);
  }
}

}  // namespace

bool player_shot_step() {
  const bool drawn = key_down(VK_SPACE) ? wind_up() : player_carry_step();
  if (!drawn) return false;
  // Space is read again: letting it go after a wind-up shoots.
  const bool space_held = key_down(VK_SPACE);
  const bool release = match.player_windup != 0 && (!space_held || match.player_windup == windup_limit);
  return release ? release_player_shot() : true;
}

bool release_player_shot() {
  report_cue(CueKind::shot, CueWho::player_one, windup_strength(match.player_windup));
  const PuckFlight shot = player_shot(match.player_x, match.player_y, match.player_windup, match.shot_aim);
  match.puck_x = shot.x;
  match.puck_y = shot.y;
  match.puck_dx = shot.dx;
  match.puck_dy = shot.dy;
  match.player_windup = 0;
  match.player_has_puck = false;
  match.rgoalie_tracking = true;
  // Shown one step ahead; the stored position first moves in the next frame.
  return blit_puck(match.puck_x + match.puck_dx, match.puck_y + match.puck_dy);
}

bool player_check_step() {
  if (!match.cpu_has_puck) return draw_player_one(firstplayerone);  // nothing to check
  if (!draw_player_one(playeronecheck)) return false;
  if (skaters_in_contact()) resolve_check();
  return true;
}
