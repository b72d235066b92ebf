#include "sim/rules.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "sim/match_state.h"

namespace {

constexpr int base_shot_speed = 36;
constexpr int shot_start_dx = figure_size;  // the stick blade, at the right edge of player one's image
constexpr int shot_start_dy = 49;
constexpr int shot_target_x = 576;
constexpr std::array<int, 3> shot_target_y{235, 205, 265};  // by aim: centre, high, low

constexpr std::int32_t contact_distance = 43;

bool between_net_rows(std::int32_t puck_y) { return net_top < puck_y && puck_y + puck_size < net_bottom; }

bool between(GoalSpan span, std::int32_t x) { return span.left < x && x < span.right; }

}  // namespace

bool in_crease(std::int32_t x, std::int32_t y) {
  return (between(left_crease, x) || between(right_crease, x)) && crease_top < y && y < crease_bottom;
}

std::int64_t squared_length(std::int64_t dx, std::int64_t dy) { return dx * dx + dy * dy; }

Spot shot_target(int aim) { return {shot_target_x, shot_target_y[std::clamp<int>(aim, aim_centre, aim_low)]}; }

// A score only passes 10 when frames failed before their scoreboard ran; the match is over then too.
bool has_won(std::int32_t score) { return score >= winning_score; }

PuckFlight player_shot(std::int32_t x, std::int32_t y, std::int32_t windup, int aim) {
  const int speed = windup + base_shot_speed;
  PuckFlight shot{x + shot_start_dx, y + shot_start_dy, 0, 0};
  const Spot target = shot_target(aim);
  const std::int32_t dx = target.x - shot.x;
  const std::int32_t dy = target.y - shot.y;
  const std::int32_t distance_squared = dx * dx + dy * dy;
  if (distance_squared == 0) return shot;
  const double steps = std::sqrt(static_cast<double>(distance_squared)) / speed;
  shot.dx = static_cast<std::int32_t>(dx / steps);
  shot.dy = static_cast<std::int32_t>(dy / steps);
  return shot;
}

bool in_right_net(std::int32_t puck_x, std::int32_t puck_y) {
  return between_net_rows(puck_y) && right_goal.left < puck_x && puck_x + puck_size < right_goal.right;
}

bool in_left_net(std::int32_t puck_x, std::int32_t puck_y) {
  return between_net_rows(puck_y) && puck_x < left_goal.right && puck_x + puck_size > left_goal.left;
}

bool in_save_columns(std::int32_t goalie_x, std::int32_t puck_x) {
  return goalie_x + 11 < puck_x && puck_x < goalie_x + figure_size;
}

bool in_save_zone(std::int32_t goalie_x, std::int32_t goalie_y, std::int32_t puck_x, std::int32_t puck_y) {
  return goalie_y + 21 < puck_y && puck_y < goalie_y + figure_size && in_save_columns(goalie_x, puck_x);
}

bool skaters_in_contact(std::int32_t ax, std::int32_t ay, std::int32_t bx, std::int32_t by) {
  return ax < bx + contact_distance && ax + contact_distance > bx && ay + contact_distance > by &&
         ay < by + contact_distance;
}

// Comparing squared lengths gives the same order as comparing the lengths.
bool checker_faster(std::int32_t checker_dx, std::int32_t checker_dy, std::int32_t carrier_dx,
                    std::int32_t carrier_dy) {
  return squared_length(checker_dx, checker_dy) > squared_length(carrier_dx, carrier_dy);
}
