// A player on skates: the arrow keys pick a row of the skating rules, the row moves the skater
// and picks the image. Carrying the puck and skating without it follow separate rule tables with
// their own speed caps, rink limits and images. The rules are player one's, attacking the
// right-hand goal; player two skates them mirrored (skater_side.h).

#include <algorithm>
#include <array>

#include "display/display_ops.h"
#include "display/sprites.h"
#include "player_rules.h"
#include "pose_cycle.h"
#include "sim/rules.h"
#include "sim/stages.h"

namespace {

// How one axis of a row turns the stride speed into the stored step and the move.
enum class Step {
  still,               // stores 0
  forward,             // stores the speed, at most the cap
  backward,            // stores minus the speed, at least minus the cap
  backward_magnitude,  // stores the speed, at most the cap, and moves by minus it
  fixed,               // stores the given step whatever the stride
};

struct AxisRule {
  Step step;
  int amount;  // the cap, or the step itself when fixed
};

constexpr AxisRule still{Step::still, 0};
constexpr AxisRule forward(int cap) { return {Step::forward, cap}; }
constexpr AxisRule backward(int cap) { return {Step::backward, cap}; }
constexpr AxisRule backward_magnitude(int cap) { return {Step::backward_magnitude, cap}; }
constexpr AxisRule fixed(int step) { return {Step::fixed, step}; }

// A rink limit: the probed coordinate must lie strictly below or above the bound.
struct Bound {
  enum class Compare { none, less, greater } compare;
  int value;

  bool holds(int probe) const {
    if (compare == Compare::less) return probe < value;
    if (compare == Compare::greater) return probe > value;
    return true;
  }
};

constexpr Bound no_limit{Bound::Compare::none, 0};
constexpr Bound below(int value) { return {Bound::Compare::less, value}; }
constexpr Bound above(int value) { return {Bound::Compare::greater, value}; }

// Where a carrier's move is tested against the goal creases. Skating up with the puck probes
// the row one step below, not the row it skates to, so it can end up inside a crease.
enum class CreaseTest { none, at_target, one_step_below };

// Which pose a stride shows: strides run through a cycle of 7 for sideways and diagonal
// skating (two poses) and 8 for skating up and down (three poses).
constexpr PoseCycle sideways_cycle{7, {0, 0, 0, 0, 0, 1, 1}};
constexpr PoseCycle vertical_cycle{8, {0, 0, 0, 1, 2, 2, 2, 1}};

struct ImageSet {
  const PoseCycle* cycle;
  std::array<SpriteId, 3> poses;  // the third only for skating up and down
};

using enum SpriteId;

constexpr ImageSet rightward_with_puck{&sideways_cycle, {firstplayeronewpuck, firstplayertwowpuck}};
constexpr ImageSet leftward_with_puck{&sideways_cycle, {firstplayerthreewpuck, firstplayerfourwpuck}};
constexpr ImageSet up_with_puck{&vertical_cycle, {upwithpuck1, up3, upwithpuck3}};
constexpr ImageSet down_with_puck{&vertical_cycle, {downwithpuck1, downwithpuck2, downwithpuck3}};
constexpr ImageSet rightward{&sideways_cycle, {firstplayerone, firstplayertwo}};
constexpr ImageSet leftward{&sideways_cycle, {firstplayerthree, firstplayerfour}};
constexpr ImageSet up{&vertical_cycle, {up1, up2, up3}};
constexpr ImageSet down{&vertical_cycle, {down1, down2, down3}};

// The message box shown when a skating image cannot be drawn, by pose.
struct BlitFailure {
  const char* text;
  const char* caption;
};

constexpr BlitFailure first_pose_failed{"Unable to blit", "eror"};
constexpr BlitFailure later_pose_failed{"unable to blit", "error"};
using PoseFailures = std::array<BlitFailure, 3>;
constexpr PoseFailures usual_failures{first_pose_failed, later_pose_failed, later_pose_failed};
constexpr PoseFailures carry_sideways_failures{
    BlitFailure{"Unable to blit1", "eror"}, BlitFailure{"unable to blit2", "error"}, later_pose_failed};
// Skating up or down without the puck, every pose fails with the first pose's message.
constexpr PoseFailures free_vertical_failures{first_pose_failed, first_pose_failed, first_pose_failed};

struct SkatingRow {
  int key;
  int second_key;  // 0 for a single key
  AxisRule x;
  AxisRule y;
  CreaseTest crease;
  Bound x_limit;  // tested on the target x
  Bound y_limit;  // tested on the target y, or on y minus the step for a diagonal
  Facing facing;
  const ImageSet* images;
  const PoseFailures* failures;
};

struct SkatingRules {
  std::array<SkatingRow, 8> rows;       // tested in this order; the first whose keys are held wins
  std::array<SpriteId, 4> idle_images;  // by facing, right, left, up, down
};

// Every diagonal faces right, also the leftward ones.
constexpr SkatingRules carrying_rules{
    {{
        {VK_RIGHT, VK_UP, forward(7), backward(7), CreaseTest::at_target, below(588), above(-12),
         facing_right, &rightward_with_puck, &usual_failures},
        {VK_RIGHT, VK_DOWN, forward(7), forward(7), CreaseTest::at_target, below(588), below(385),
         facing_right, &rightward_with_puck, &usual_failures},
        {VK_LEFT, VK_DOWN, backward(7), forward(7), CreaseTest::at_target, above(-5), below(385),
         facing_right, &leftward_with_puck, &usual_failures},
        {VK_LEFT, VK_UP, backward(7), backward(7), CreaseTest::at_target, above(-5), above(-12),
         facing_right, &leftward_with_puck, &usual_failures},
        {VK_RIGHT, 0, forward(7), still, CreaseTest::at_target, below(568), no_limit, facing_right,
         &rightward_with_puck, &carry_sideways_failures},
        {VK_LEFT, 0, backward_magnitude(6), still, CreaseTest::at_target, above(20), no_limit,
         facing_left, &leftward_with_puck, &carry_sideways_failures},
        {VK_UP, 0, still, backward_magnitude(6), CreaseTest::one_step_below, no_limit, above(0),
         facing_up, &up_with_puck, &usual_failures},
        {VK_DOWN, 0, still, forward(7), CreaseTest::at_target, no_limit, below(385), facing_down,
         &down_with_puck, &usual_failures},
    }},
    {firstplayertwowpuck, firstplayerfourwpuck, up2, downwithpuck2},
};

// Without the puck the creases are open, and Right and Up skates a constant (4, -3).
constexpr SkatingRules free_rules{
    {{
        {VK_RIGHT, VK_UP, fixed(4), fixed(-3), CreaseTest::none, below(588), above(-12), facing_right,
         &rightward, &usual_failures},
        {VK_RIGHT, VK_DOWN, forward(6), forward(6), CreaseTest::none, below(588), below(385),
         facing_right, &rightward, &usual_failures},
        {VK_LEFT, VK_DOWN, backward(6), forward(6), CreaseTest::none, above(-5), below(385), facing_right,
         &leftward, &usual_failures},
        {VK_LEFT, VK_UP, backward(6), backward(6), CreaseTest::none, above(-5), above(-12), facing_right,
         &leftward, &usual_failures},
        {VK_RIGHT, 0, forward(6), still, CreaseTest::none, below(588), no_limit, facing_right, &rightward,
         &usual_failures},
        {VK_UP, 0, still, backward(6), CreaseTest::none, no_limit, above(-12), facing_up, &up,
         &free_vertical_failures},
        {VK_DOWN, 0, still, forward(6), CreaseTest::none, no_limit, below(385), facing_down, &down,
         &free_vertical_failures},
        {VK_LEFT, 0, backward(6), still, CreaseTest::none, above(-5), no_limit, facing_left, &leftward,
         &usual_failures},
    }},
    {firstplayertwo, firstplayerfour, up2, down2},
};

bool keys_held(const SkatingRow& row, const SkaterOnSide& s) {
  return s.key_down(row.key) && (row.second_key == 0 || s.key_down(row.second_key));
}

// The step grows by one pixel every five strides.
int stride_speed(int stride, int accel) { return stride / 5 * accel; }

int stored_step(AxisRule rule, int speed) {
  switch (rule.step) {
    case Step::still: return 0;
    case Step::forward:
    case Step::backward_magnitude: return std::min(speed, rule.amount);
    case Step::backward: return std::max(-speed, -rule.amount);
    case Step::fixed: return rule.amount;
  }
  return 0;
}

int move_target(AxisRule rule, int position, int step) {
  return rule.step == Step::backward_magnitude ? position - step : position + step;
}

bool move_allowed(const SkatingRow& row, const SkaterOnSide& s, int target_x, int target_y) {
  if (row.crease == CreaseTest::at_target && in_crease(target_x, target_y)) return false;
  if (row.crease == CreaseTest::one_step_below && in_crease(s.x(), s.own.y + s.own.dy)) return false;
  // A diagonal tests its vertical limit against the current y minus the step.
  const bool diagonal = row.second_key != 0;
  const int y_probe = diagonal ? s.own.y - s.own.dy : target_y;
  return row.x_limit.holds(target_x) && row.y_limit.holds(y_probe);
}

bool draw_pose(const SkatingRow& row, const SkaterOnSide& s) {
  const PoseCycle& cycle = *row.images->cycle;
  const int pose = cycle.at(s.own.stride);
  if (s.draw(row.images->poses[pose])) return true;
  const BlitFailure& failure = (*row.failures)[pose];
  ask_message(s.match.canvas, failure.text, failure.caption);
  return false;
}

// Stores the step even when the move is refused; a refused move keeps the stride and so the pose.
bool skate_row(const SkatingRow& row, const SkaterOnSide& s) {
  const int dx = stored_step(row.x, stride_speed(s.own.stride, s.match.accel_x));
  const int dy = stored_step(row.y, stride_speed(s.own.stride, s.match.accel_y));
  s.set_step(dx, dy);
  const int target_x = move_target(row.x, s.x(), dx);
  const int target_y = move_target(row.y, s.own.y, dy);
  if (move_allowed(row, s, target_x, target_y)) {
    s.set_x(target_x);
    s.own.y = target_y;
    ++s.own.stride;
  }
  s.set_facing(row.facing);
  return draw_pose(row, s);
}

// Standing still changes nothing; the facing alone picks the image. The clamp keeps a stray
// facing value inside the table.
bool stand(const SkatingRules& rules, const SkaterOnSide& s) {
  const int facing = std::clamp<int>(s.facing(), facing_right, facing_down);
  return s.draw(rules.idle_images[facing - facing_right]);
}

bool skate(const SkatingRules& rules, const SkaterOnSide& s) {
  for (const SkatingRow& row : rules.rows) {
    if (keys_held(row, s)) return skate_row(row, s);
  }
  return stand(rules, s);
}

}  // namespace

bool down_step(const SkaterOnSide& s) {
  if (s.own.down_timer <= 0) return true;
  --s.own.down_timer;
  return s.draw(playeronedown);
}

bool skate_step(const SkaterOnSide& s) { return skate(free_rules, s); }

bool carry_step(const SkaterOnSide& s) { return skate(carrying_rules, s); }

bool player_down_step(Match& match) { return down_step(player_one_side(match)); }
bool player_two_down_step(Match& match) { return down_step(player_two_side(match)); }
