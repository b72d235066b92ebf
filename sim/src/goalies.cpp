// The two goalies: each positions itself by the carrier that threatens its goal, or follows a
// shot on its way and, set in front of it, grows the readiness its saves depend on.

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>

#include "display/display_ops.h"
#include "sim/match.h"
#include "sim/rules.h"
#include "sim/stages.h"

namespace {
constexpr int goalie_step = 10;    // goalies only move up and down, this far a frame
constexpr int set_reach = 30;      // a shot aimed above this far down the goalie draws it up
constexpr int highest_feet = 210;  // a following goalie's feet (bottom edge) stay between these
constexpr int lowest_feet = 270;
constexpr int home_height = 200;   // where a goalie waits while nobody threatens its goal

// One goalie's turn: its own fields (y and readiness refer to the match) and the carrier it watches.
struct Goalie {
  std::int32_t x;
  std::int32_t& y;
  bool tracking;
  std::int32_t& readiness;
  bool carrier_has_puck;
  std::int32_t carrier_x;
  std::int32_t carrier_y;
  SpriteId moving_image;
  SpriteId set_image;
  bool guards_right;  // its bands are measured from the right-hand end of the rink
};

// Where a positioning goalie heads for a carrier this far from the goalie's own end, rows tried
// from the top. Bounds are inclusive below and exclusive above.
struct TargetRow {
  int depth_below;
  int y_from;
  int y_to;
  int target;
};
constexpr int any_low = std::numeric_limits<int>::min();
constexpr int any_high = std::numeric_limits<int>::max();
constexpr std::array<TargetRow, 11> target_table{{
    {90, 241, any_high, 350},  // beside the net: low or high, but y 240 itself falls to the next band
    {90, any_low, 240, 150},
    {120, any_low, 130, 150},
    {120, 130, 190, 200},
    {120, 190, any_high, 250},
    {180, any_low, 40, 150},
    {180, 40, 100, 180},
    {180, 100, 190, 200},
    {180, 190, 280, 220},
    {180, 280, any_high, 250},
    {any_high, any_low, any_high, home_height},  // far away: stay home
}};
static_assert(target_table.back().depth_below == any_high && target_table.back().y_from == any_low &&
              target_table.back().y_to == any_high, "the last row must take every carrier");

int carrier_target(const Goalie& goalie) {
  if (!goalie.carrier_has_puck) return home_height;
  // The right goalie's bands mirror the left one's.
  const int depth = goalie.guards_right ? rink_width - goalie.carrier_x : goalie.carrier_x;
  const int y = goalie.carrier_y;
  const auto row = std::find_if(target_table.begin(), target_table.end(), [&](const TargetRow& candidate) {
    return depth < candidate.depth_below && candidate.y_from <= y && y < candidate.y_to;
  });
  return row->target;
}

// Follows the shot towards the puck's next height, or stands set and counts readiness.
// The image shows the goalie where it stood before the move.
bool follow_shot(Match& match, const Goalie& goalie) {
  const std::int32_t drawn_y = goalie.y;
  const std::int32_t aim = match.puck_y + match.puck_dy;
  const std::int32_t feet = goalie.y + figure_size;
  SpriteId image = goalie.moving_image;
  if (aim < goalie.y + set_reach && feet > highest_feet) {
    goalie.y -= goalie_step;
  } else if (aim > feet && feet < lowest_feet) {
    goalie.y += goalie_step;
  } else {
    ++goalie.readiness;
    image = goalie.set_image;
  }
  return blit_sprite(match.canvas, image, goalie.x, drawn_y);
}

// Steps towards the height the carrier calls for; a failed draw leaves the goalie in place.
bool position_by_carrier(Match& match, const Goalie& goalie) {
  if (!blit_sprite(match.canvas, goalie.moving_image, goalie.x, goalie.y)) return false;
  const int target = carrier_target(goalie);
  if (goalie.y < target) {
    goalie.y += goalie_step;
  } else if (goalie.y > target) {
    goalie.y -= goalie_step;
  }
  return true;
}

bool goalie_turn(Match& match, const Goalie& goalie) {
  return goalie.tracking ? follow_shot(match, goalie) : position_by_carrier(match, goalie);
}
}  // namespace

bool update_goalies(Match& match) {
  const Goalie left{.x = match.lgoalie_x,
                    .y = match.lgoalie_y,
                    .tracking = match.lgoalie_tracking,
                    .readiness = match.lgoalie_readiness,
                    .carrier_has_puck = match.cpu_has_puck,
                    .carrier_x = match.cpu_x,
                    .carrier_y = match.cpu_y,
                    .moving_image = SpriteId::goalieleft1,
                    .set_image = SpriteId::goalieleft2,
                    .guards_right = false};
  if (!goalie_turn(match, left)) return false;
  const Goalie right{.x = match.rgoalie_x,
                     .y = match.rgoalie_y,
                     .tracking = match.rgoalie_tracking,
                     .readiness = match.rgoalie_readiness,
                     .carrier_has_puck = match.player_has_puck,
                     .carrier_x = match.player_x,
                     .carrier_y = match.player_y,
                     .moving_image = SpriteId::goalieright1,
                     .set_image = SpriteId::goalieright2,
                     .guards_right = true};
  return goalie_turn(match, right);
}
