#include "skater_side.h"

#include <array>
#include <utility>

#include "display/display_ops.h"
#include "sim/rules.h"

namespace {

using enum SpriteId;

// Player one's keys and player two's keys that mirror them.
constexpr std::array<std::pair<int, int>, 6> mirrored_keys{{
    {VK_LEFT, VK_P2_RIGHT},
    {VK_RIGHT, VK_P2_LEFT},
    {VK_UP, VK_P2_UP},
    {VK_DOWN, VK_P2_DOWN},
    {VK_SPACE, VK_P2_SHOOT},
    {VK_RETURN, VK_P2_CHECK},
}};

// Pictures of a skater facing right and the same skater facing left. Skating up or down,
// lying and checking look the same from either end.
constexpr std::array<std::pair<SpriteId, SpriteId>, 10> facing_pairs{{
    {firstplayerone, firstplayerthree},
    {firstplayertwo, firstplayerfour},
    {firstplayeronewpuck, firstplayerthreewpuck},
    {firstplayertwowpuck, firstplayerfourwpuck},
    {playershootingright1, playershootingleft1},
    {playershootingright2, playershootingleft2},
    {playershootingright3, playershootingleft3},
    {playershootingright4, playershootingleft4},
    {playershootingright5, playershootingleft5},
    {playershootingright6, playershootingleft6},
}};

}  // namespace

std::int32_t Side::skater_x(std::int32_t x) const { return mirrored ? rink_width - figure_size - x : x; }

std::int32_t Side::puck_x(std::int32_t x) const { return mirrored ? rink_width - puck_size - x : x; }

std::int32_t Side::step(std::int32_t dx) const { return mirrored ? -dx : dx; }

int Side::key(int vk) const {
  if (!mirrored) return vk;
  for (const auto& [ones, twos] : mirrored_keys) {
    if (vk == ones) return twos;
  }
  return vk;
}

std::int32_t Side::facing(std::int32_t facing) const {
  if (!mirrored) return facing;
  if (facing == facing_right) return facing_left;
  return facing == facing_left ? facing_right : facing;
}

SpriteId Side::image(SpriteId id) const {
  if (!mirrored) return id;
  for (const auto& [right, left] : facing_pairs) {
    if (id == right) return left;
    if (id == left) return right;
  }
  return id;
}

void SkaterOnSide::set_step(std::int32_t dx, std::int32_t dy) const {
  own.dx = side.step(dx);
  own.dy = dy;
}

SkaterFields player_one_fields(MatchState& m) {
  return {m.player_x,      m.player_y,      m.player_dx,       m.player_dy,        m.player_down_timer,
          m.player_stride, m.player_windup, m.player_has_puck, CueWho::player_one};
}

SkaterFields second_skater_fields(MatchState& m) {
  return {m.cpu_x,      m.cpu_y,      m.cpu_dx,       m.cpu_dy,          m.cpu_down_timer,
          m.cpu_stride, m.cpu_windup, m.cpu_has_puck, CueWho::second_skater};
}

SkaterOnSide player_one_side(Match& match) {
  return {match,          Side{false},           player_one_fields(match),     second_skater_fields(match),
          match.player_facing, match.shot_aim, match.rgoalie_tracking, match.player_draw_position,
          blit_sprite};
}

SkaterOnSide player_two_side(Match& match) {
  PlayerTwoState& two = match.player_two;
  return {match,      Side{true},    second_skater_fields(match),    player_one_fields(match),
          two.facing, two.shot_aim,  match.lgoalie_tracking,         match.player_two_draw_position,
          blit_second_skater};
}

MatchState seen_by_player_two(const MatchState& m, const PlayerTwoState& two) {
  const Side side{true};
  MatchState seen = m;
  seen.player_x = side.skater_x(m.cpu_x), seen.cpu_x = side.skater_x(m.player_x);
  seen.player_y = m.cpu_y, seen.cpu_y = m.player_y;
  seen.lgoalie_x = side.skater_x(m.rgoalie_x), seen.rgoalie_x = side.skater_x(m.lgoalie_x);
  seen.lgoalie_y = m.rgoalie_y, seen.rgoalie_y = m.lgoalie_y;
  seen.player_dx = side.step(m.cpu_dx), seen.cpu_dx = side.step(m.player_dx);
  seen.player_dy = m.cpu_dy, seen.cpu_dy = m.player_dy;
  seen.player_facing = side.facing(two.facing);
  seen.puck_x = side.puck_x(m.puck_x), seen.puck_dx = side.step(m.puck_dx);
  seen.player_down_timer = m.cpu_down_timer, seen.cpu_down_timer = m.player_down_timer;
  seen.player_stride = m.cpu_stride, seen.cpu_stride = m.player_stride;
  seen.lgoalie_readiness = m.rgoalie_readiness, seen.rgoalie_readiness = m.lgoalie_readiness;
  seen.player_windup = m.cpu_windup, seen.cpu_windup = m.player_windup;
  seen.lgoalie_tracking = m.rgoalie_tracking, seen.rgoalie_tracking = m.lgoalie_tracking;
  seen.cpu_shot_ready = false;  // player one has no such thing
  seen.player_has_puck = m.cpu_has_puck, seen.cpu_has_puck = m.player_has_puck;
  seen.shot_aim = two.shot_aim;
  seen.player_score = m.cpu_score, seen.cpu_score = m.player_score;
  return seen;
}

int player_two_key(int vk) { return Side{true}.key(vk); }
