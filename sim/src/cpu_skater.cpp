// The computer skater: it lies on the ice after a lost check, chases and checks player one,
// carries the puck to the left-hand goal and shoots, or chases the free puck.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "display/display_ops.h"
#include "body_check.h"
#include "cue_report.h"
#include "pose_cycle.h"
#include "display/sprites.h"

#include "sim/match.h"
#include "sim/rules.h"
#include "sim/stages.h"

namespace {

constexpr int top_speed = 6;
constexpr int strides_per_speed_step = 5;

// Carrying, the skater heads for the left-hand goal: its bottom edge towards the band 210 to
// 270, its x towards 31 to 60; on the way it stops to shoot once x lies in 51 to 199.
constexpr int carry_bottom_low = 210;
constexpr int carry_bottom_high = 270;
constexpr int carry_x_low = 31;
constexpr int carry_x_high = 60;
constexpr int shooting_range_first = 51;
constexpr int shooting_range_last = 199;

constexpr int windup_frames_per_image = 3;
constexpr int last_windup_frame = 15;
constexpr std::array<SpriteId, 6> windup_images{
    SpriteId::playershootingleft1, SpriteId::playershootingleft2, SpriteId::playershootingleft3,
    SpriteId::playershootingleft4, SpriteId::playershootingleft5, SpriteId::playershootingleft6};

// The shot leaves from in front of the stick towards the left-hand goal at about 50 pixels a
// frame; the factor is 0.02 in single precision, widened.
constexpr int shot_offset_x = -10;
constexpr int shot_offset_y = 49;
constexpr int shot_target_x = 45;
constexpr int shot_target_high = 180;
constexpr int shot_target_low = 280;
constexpr int goalie_high_below = 190;  // a left goalie above this is beaten low
constexpr int goalie_low_above = 210;   // below this, high
constexpr int player_near_goal_below = 200;
constexpr double shot_length_factor = static_cast<double>(0.02f);

// The free puck counts as near while the skater's corner lies from 50 above to 9 below it and
// from 64 to 11 left of it; outside that the skater turns towards it.
constexpr int corner_above_puck_max = 50;
constexpr int corner_below_puck_max = 9;
constexpr int corner_left_of_puck_max = 64;
constexpr int corner_left_of_puck_min = 11;

// One set of skating images; the computer borrows player one's pictures.
struct SkatingImages {
  std::array<SpriteId, 2> right;  // stride, glide
  std::array<SpriteId, 2> left;
  std::array<SpriteId, 3> down;   // poses 1, 2, 3
  std::array<SpriteId, 3> up;
  SpriteId standing;
};

constexpr SkatingImages without_puck{
    {SpriteId::firstplayerone, SpriteId::firstplayertwo},
    {SpriteId::firstplayerthree, SpriteId::firstplayerfour},
    {SpriteId::down1, SpriteId::down2, SpriteId::down3},
    {SpriteId::up1, SpriteId::up2, SpriteId::up3},
    SpriteId::firstplayerthree};

// There is no second skating-up picture with the puck, so up2 serves both sets.
constexpr SkatingImages with_puck{
    {SpriteId::firstplayeronewpuck, SpriteId::firstplayertwowpuck},
    {SpriteId::firstplayerthreewpuck, SpriteId::firstplayerfourwpuck},
    {SpriteId::downwithpuck1, SpriteId::downwithpuck2, SpriteId::downwithpuck3},
    {SpriteId::upwithpuck1, SpriteId::up2, SpriteId::upwithpuck3},
    SpriteId::firstplayerthree};

// Sideways the glide shows once every 7 strides; up and down run from the third pose to the
// first and back over 8.
constexpr PoseCycle sideways_cycle{7, {0, 0, 0, 0, 0, 0, 1}};
constexpr PoseCycle vertical_cycle{8, {2, 2, 2, 1, 0, 0, 0, 1}};

// The length of a steered step: grows by one every five strides, never 0, at most 6.
int cpu_stride_speed(Match& match, std::int32_t accel) {
  const std::int32_t q = match.cpu_stride / strides_per_speed_step * accel;
  if (q > top_speed) return top_speed;
  return q == 0 ? 1 : q;
}

// Steers one step so that the skater's coordinate heads into [low, high]: below it the step
// becomes the stride speed, above it its negation, inside it stays as it was.
void steer_into(Match& match, std::int32_t& step, std::int32_t coordinate, std::int32_t low, std::int32_t high,
                std::int32_t accel) {
  if (coordinate < low) step = cpu_stride_speed(match, accel);
  if (coordinate > high) step = -cpu_stride_speed(match, accel);
}

// Counts a stride for a moving skater (or stands it still) and picks its image.
SpriteId next_skating_image(Match& match, const SkatingImages& images) {
  if (match.cpu_dx == 0 && match.cpu_dy == 0) {
    match.cpu_stride = 0;
    return images.standing;
  }
  ++match.cpu_stride;
  if (match.cpu_dx != 0) {  // sideways wins over a diagonal
    const auto& side = match.cpu_dx > 0 ? images.right : images.left;
    return side[sideways_cycle.at(match.cpu_stride)];
  }
  const auto& vertical = match.cpu_dy > 0 ? images.down : images.up;
  return vertical[vertical_cycle.at(match.cpu_stride)];
}

bool draw_skating(Match& match, const SkatingImages& images, DrawPosition at) {
  return blit_second_skater(match.canvas, next_skating_image(match, images), at.x, at.y);
}

enum class Countdown { up, lying, draw_failed };

// A knocked-down skater lies still; the frame its time runs out it gets up and skates on.
Countdown count_down(Match& match, DrawPosition at) {
  if (match.cpu_down_timer <= 0) return Countdown::up;
  --match.cpu_down_timer;
  if (!blit_second_skater(match.canvas, SpriteId::playeronedown, at.x, at.y)) return Countdown::draw_failed;
  return match.cpu_down_timer != 0 ? Countdown::lying : Countdown::up;
}

// Moves by the current step, turning a step round that would cross the boards.
void take_step(Match& match) {
  const std::int32_t next_x = match.cpu_x + match.cpu_dx;
  const std::int32_t next_y = match.cpu_y + match.cpu_dy;
  if (next_x > board_right || next_x < board_left) match.cpu_dx = -match.cpu_dx;
  if (next_y < board_top || next_y > board_bottom) match.cpu_dy = -match.cpu_dy;
  match.cpu_x += match.cpu_dx;
  match.cpu_y += match.cpu_dy;
}

// Player one carries: check on contact, then skate after the carrier.
bool chase_player(Match& match, DrawPosition at) {
  if (skaters_in_contact(match)) {
    if (!blit_second_skater(match.canvas, SpriteId::playeronecheck, at.x, at.y)) return false;
    // The computer takes the puck, or falls.
    settle_check(match, second_skater_fields(match), player_one_fields(match));
  }
  steer_into(match, match.cpu_dy, match.cpu_y, match.player_y, match.player_y, match.accel_y);
  steer_into(match, match.cpu_dx, match.cpu_x, match.player_x, match.player_x, match.accel_x);
  if (match.cpu_has_puck) return true;  // the won check shows no skating image
  return draw_skating(match, without_puck, at);
}

int shot_target_y(Match& match) {
  if (match.lgoalie_y < goalie_high_below) return shot_target_low;
  if (match.lgoalie_y > goalie_low_above) return shot_target_high;
  if (match.player_x < player_near_goal_below) return shot_target_high;
  match.random.next();  // the roll is drawn and thrown away: it only moves the shared sequence on
  return shot_target_low;
}

// Sends the puck from the stick towards the left-hand goal and draws it one step ahead.
bool release_cpu_shot(Match& match) {
  report_cue(match, CueKind::shot, CueWho::second_skater, windup_strength(match.cpu_windup));
  match.cpu_windup = 0;
  match.puck_x = match.cpu_x + shot_offset_x;
  match.puck_y = match.cpu_y + shot_offset_y;
  const std::int32_t dx = shot_target_x - match.puck_x;
  const std::int32_t dy = shot_target_y(match) - match.puck_y;
  const double d = std::sqrt(static_cast<double>(squared_length(dx, dy))) * shot_length_factor;
  // A shot from the target point itself has no direction: the puck stays where it is.
  match.puck_dx = d == 0.0 ? 0 : static_cast<std::int32_t>(dx / d);
  match.puck_dy = d == 0.0 ? 0 : static_cast<std::int32_t>(dy / d);
  match.lgoalie_tracking = true;
  match.cpu_shot_ready = false;
  match.cpu_has_puck = false;
  if (!blit_puck(match.canvas, match.puck_x + match.puck_dx, match.puck_y + match.puck_dy)) return false;
  match.cpu_stride = 0;  // standing after the shot; the wind-up image already shows it
  return true;
}

// Stands still and winds up; the sixteenth frame sends the shot.
bool wind_up(Match& match, DrawPosition at) {
  match.cpu_dx = 0;
  match.cpu_dy = 0;
  const int last_image = static_cast<int>(windup_images.size()) - 1;
  const int image = std::clamp(match.cpu_windup / windup_frames_per_image, 0, last_image);
  if (!blit_second_skater(match.canvas, windup_images[static_cast<std::size_t>(image)], at.x, at.y)) {
    ask_message(match.canvas, "unable to blit", "error");
    return false;
  }
  if (match.cpu_windup >= last_windup_frame) match.cpu_shot_ready = true;
  ++match.cpu_windup;
  if (!match.cpu_shot_ready) return true;
  return release_cpu_shot(match);
}

// The computer carries: keep to the middle band, skate left, stop in range and shoot.
bool carry_puck(Match& match, DrawPosition at) {
  steer_into(match, match.cpu_dy, match.cpu_y + figure_size, carry_bottom_low, carry_bottom_high,
             match.accel_y);
  steer_into(match, match.cpu_dx, match.cpu_x, carry_x_low, carry_x_high, match.accel_x);
  if (match.cpu_x < shooting_range_first || match.cpu_x > shooting_range_last) {
    return draw_skating(match, with_puck, at);
  }
  return wind_up(match, at);
}

// Nobody carries: skate towards the free puck; near it, keep the step.
bool chase_puck(Match& match, DrawPosition at) {
  steer_into(match, match.cpu_dy, match.cpu_y, match.puck_y - corner_above_puck_max,
             match.puck_y + corner_below_puck_max, match.accel_y);
  steer_into(match, match.cpu_dx, match.cpu_x, match.puck_x - corner_left_of_puck_max,
             match.puck_x - corner_left_of_puck_min, match.accel_x);
  return draw_skating(match, without_puck, at);
}

}  // namespace

bool update_cpu_skater(Match& match) {
  const DrawPosition at{match.cpu_x, match.cpu_y};
  switch (count_down(match, at)) {
    case Countdown::draw_failed: return false;
    case Countdown::lying: return true;
    case Countdown::up: break;
  }
  take_step(match);
  if (match.player_has_puck) return chase_player(match, at);
  if (match.cpu_has_puck) return carry_puck(match, at);
  return chase_puck(match, at);
}
