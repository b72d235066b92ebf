// A player's two actions besides skating: winding up and shooting while carrying the puck
// (Space, aimed with Up and Down), and the body check on the opposing skater (Return). Written
// for player one, who shoots at the right-hand goal; player two runs them mirrored.

#include <algorithm>
#include <array>
#include <cstdint>

#include "display/display_ops.h"
#include "body_check.h"
#include "cue_report.h"
#include "display/sprites.h"
#include "player_rules.h"
#include "sim/rules.h"

namespace {

using enum SpriteId;

constexpr int windup_frames_per_image = 3;
constexpr std::array<SpriteId, 6> windup_images{playershootingright1, playershootingright2,
                                                playershootingright3, playershootingright4,
                                                playershootingright5, playershootingright6};

// One frame of wind-up: the player stands still, the aim follows Up and Down (Up wins).
bool wind_up(const SkaterOnSide& s) {
  const int last_image = static_cast<int>(windup_images.size()) - 1;
  const int image = std::clamp(s.own.windup / windup_frames_per_image, 0, last_image);
  if (!s.draw(windup_images[image])) {
    ask_message(s.match.canvas, "unable to blit", "error");
    return false;
  }
  s.shot_aim = s.key_down(VK_UP) ? aim_high : s.key_down(VK_DOWN) ? aim_low : aim_centre;
  ++s.own.windup;
  return true;
}

}  // namespace

bool shot_step(const SkaterOnSide& s) {
  const bool drawn = s.key_down(VK_SPACE) ? wind_up(s) : carry_step(s);
  if (!drawn) return false;
  // Space is read again: letting it go after a wind-up shoots.
  const bool space_held = s.key_down(VK_SPACE);
  const bool release = s.own.windup != 0 && (!space_held || s.own.windup == windup_limit);
  return release ? release_shot(s) : true;
}

bool release_shot(const SkaterOnSide& s) {
  Match& match = s.match;
  report_cue(match, CueKind::shot, s.own.who, windup_strength(s.own.windup));
  const PuckFlight shot = player_shot(s.x(), s.own.y, s.own.windup, s.shot_aim);
  match.puck_x = s.side.puck_x(shot.x);
  match.puck_y = shot.y;
  match.puck_dx = s.side.step(shot.dx);
  match.puck_dy = shot.dy;
  s.own.windup = 0;
  s.own.has_puck = false;
  s.goalie_tracking = true;
  // Shown one step ahead; the stored position first moves in the next frame.
  return blit_puck(match.canvas, match.puck_x + match.puck_dx, match.puck_y + match.puck_dy);
}

bool check_step(const SkaterOnSide& s) {
  if (!s.opponent.has_puck) return s.draw(firstplayerone);  // nothing to check
  if (!s.draw(playeronecheck)) return false;
  if (skaters_in_contact(s.match)) settle_check(s.match, s.own, s.opponent);
  return true;
}
