#include "autopilot.h"

#include <cstdlib>

#include "display/display_ops.h"
#include "sim/rules.h"

namespace {

struct Spot {
  int x;
  int y;
};

// Where the player shoots from, in turn, with the wind-up length and the aim key.
struct ShotPlan {
  Spot spot;
  int windup;
  int aim_key;  // 0, VK_UP or VK_DOWN
};

constexpr ShotPlan shot_plans[] = {
    {{380, 200}, 12, 0},      {{430, 120}, 18, VK_DOWN}, {{330, 260}, 6, VK_UP},
    {{470, 190}, 15, 0},      {{400, 300}, 9, VK_UP},    {{300, 150}, 18, 0},
    {{450, 230}, 3, VK_DOWN}, {{360, 100}, 14, VK_DOWN},
};
constexpr int plan_count = sizeof shot_plans / sizeof shot_plans[0];
constexpr int tolerance = 4;

// Whether player one's shot from where it stands goes straight into the right net: it must
// leave from before the line it aims at, the first place of its flight past the goal line must
// be in the net, and none before it in front of the right goalie, at any height (the goalie
// follows a shot up and down).
bool clean_shot(const MatchState& m, int windup, int aim) {
  PuckFlight shot = player_shot(m.player_x, m.player_y, windup, aim);
  if (shot.x >= shot_target(aim).x) return false;
  do {
    shot.x += shot.dx;
    shot.y += shot.dy;
    if (shot.x > right_goal.left) return in_right_net(shot.x, shot.y);
    if (in_save_columns(m.rgoalie_x, shot.x)) return false;
  } while (shot.dx > 0);
  return false;
}

// Arrow keys that bring the skater's corner towards a target.
platform::KeySet steer(int from_x, int from_y, int to_x, int to_y) {
  platform::KeySet keys;
  if (to_x > from_x + tolerance) keys.insert(VK_RIGHT);
  if (to_x < from_x - tolerance) keys.insert(VK_LEFT);
  if (to_y > from_y + tolerance) keys.insert(VK_DOWN);
  if (to_y < from_y - tolerance) keys.insert(VK_UP);
  return keys;
}

bool near(const MatchState& m, Spot spot) {
  return std::abs(m.player_x - spot.x) <= tolerance && std::abs(m.player_y - spot.y) <= tolerance;
}

// The keys of both sets.
platform::KeySet joined(const platform::KeySet& a, const platform::KeySet& b) {
  platform::KeySet both = a;
  for (const int vk : platform::game_keys) {
    if (b.count(vk) != 0) both.insert(vk);
  }
  return both;
}

}  // namespace

platform::KeySet Autopilot::decide(const MatchState& m, const PlayerTwoState& two) {
  if (player_ == 1) return decide_as_player_one(m);
  const platform::KeySet as_player_one = decide_as_player_one(seen_by_player_two(m, two));
  platform::KeySet keys;
  for (const int vk : platform::game_keys) {
    if (as_player_one.count(vk) != 0) keys.insert(player_two_key(vk));
  }
  return keys;
}

platform::KeySet Autopilots::decide(const MatchState& m, const PlayerTwoState& two) {
  const platform::KeySet one = drives_one_ ? one_.decide(m) : platform::KeySet{};
  return drives_two_ ? joined(one, two_.decide(m, two)) : one;
}

platform::KeySet Autopilot::decide_as_player_one(const MatchState& m) {
  if (m.player_down_timer > 0) return {};
  if (m.player_has_puck) return carry(m);
  carrying_before_ = false;
  if (m.cpu_has_puck) return chase_carrier(m);
  // The stick blade lies about 36 right of and 42 below the corner; lead the puck a little.
  return steer(m.player_x, m.player_y, m.puck_x + m.puck_dx - 36, m.puck_y + m.puck_dy - 42);
}

platform::KeySet Autopilot::carry(const MatchState& m) {
  if (!carrying_before_) {
    carrying_before_ = true;
    plan_ = (plan_ + 1) % plan_count;
  }
  const ShotPlan& plan = shot_plans[plan_];
  if (m.player_windup == 0) {
    // Shoot as soon as a shot from here would score; at the planned spot shoot anyway.
    if (!find_clean_shot(m) && near(m, plan.spot)) {
      windup_ = plan.windup;
      aim_key_ = plan.aim_key;
    } else if (!find_clean_shot(m)) {
      return steer_carrier(m, plan.spot.x, plan.spot.y);
    }
  }
  if (m.player_windup >= windup_) return {};  // let go: the shot leaves
  platform::KeySet keys{VK_SPACE};
  if (aim_key_ != 0) keys.insert(aim_key_);
  return keys;
}

platform::KeySet Autopilot::steer_carrier(const MatchState& m, int x, int y) const {
  platform::KeySet keys = steer(m.player_x, m.player_y, x, y);
  // Beside a goal a carrier may not skate diagonally into the crease: get clear sideways first.
  if ((m.player_x < 95 || m.player_x > 545) && keys.size() == 2) {
    keys.erase(VK_UP);
    keys.erase(VK_DOWN);
  }
  return keys;
}

// Looks for a wind-up and aim that score from where player one stands (not too far out).
bool Autopilot::find_clean_shot(const MatchState& m) {
  if (m.player_x < 240) return false;
  const int aim_keys[] = {0, VK_UP, VK_DOWN};  // by aim: centre, high, low
  for (int aim = aim_centre; aim <= aim_low; ++aim) {
    for (int windup = 1; windup <= windup_limit; ++windup) {
      if (!clean_shot(m, windup, aim)) continue;
      windup_ = windup;
      aim_key_ = aim_keys[aim];
      return true;
    }
  }
  return false;
}

// Skate at the computer's corner and check when the two touch and player one is the faster.
// Touching but slower, skate a fast diagonal first (Right and Up is a slow one); now and then
// check anyway, and lose.
platform::KeySet Autopilot::chase_carrier(const MatchState& m) {
  const bool touching = skaters_in_contact(m.player_x, m.player_y, m.cpu_x, m.cpu_y);
  const bool faster = checker_faster(m.player_dx, m.player_dy, m.cpu_dx, m.cpu_dy);
  if (touching && (faster || ++check_turn_ % 5 == 0)) return {VK_RETURN};
  platform::KeySet keys = steer(m.player_x, m.player_y, m.cpu_x, m.cpu_y);
  if (touching) {
    const bool right = m.cpu_x > m.player_x, down = m.cpu_y > m.player_y;
    keys = right && !down ? platform::KeySet{VK_LEFT, VK_UP}
                          : platform::KeySet{right ? VK_RIGHT : VK_LEFT, down ? VK_DOWN : VK_UP};
  } else if (keys == platform::KeySet{VK_RIGHT, VK_UP}) {
    keys.erase(m.cpu_x - m.player_x > m.player_y - m.cpu_y ? VK_UP : VK_RIGHT);
  }
  return keys;
}
