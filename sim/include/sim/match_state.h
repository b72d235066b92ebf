#pragma once
// The match's fields: where everybody stands and moves, who holds the puck, the scores.

#include <cstdint>

// Player one's facing; it only chooses the idle image.
enum Facing : std::int32_t { facing_right = 1, facing_left = 2, facing_up = 3, facing_down = 4 };

// Where player one's next shot goes.
enum ShotAim : std::int16_t { aim_centre = 0, aim_high = 1, aim_low = 2 };

struct MatchState {
  std::int32_t player_x = 100;
  std::int32_t player_y = 200;
  std::int32_t cpu_x = 540;
  std::int32_t cpu_y = 180;
  std::int32_t lgoalie_x = 75;
  std::int32_t lgoalie_y = 200;
  std::int32_t rgoalie_x = 501;
  std::int32_t rgoalie_y = 200;
  std::int32_t player_dx = 5;
  std::int32_t player_dy = 5;
  std::int32_t accel_x = 1;
  std::int32_t accel_y = 1;
  std::int32_t player_facing = facing_right;
  std::int32_t puck_dx = 20;
  std::int32_t puck_dy = 20;
  std::int32_t puck_x = 300;
  std::int32_t puck_y = 250;
  std::int32_t cpu_dx = 0;
  std::int32_t cpu_dy = 0;
  std::int32_t player_down_timer = 0;
  std::int32_t cpu_down_timer = 0;
  std::int32_t player_stride = 0;
  std::int32_t cpu_stride = 0;
  std::int32_t lgoalie_readiness = 0;
  std::int32_t rgoalie_readiness = 0;
  std::int32_t player_windup = 0;
  std::int32_t cpu_windup = 0;
  bool lgoalie_tracking = false;
  bool rgoalie_tracking = false;
  bool cpu_shot_ready = false;
  bool player_has_puck = false;
  bool cpu_has_puck = false;
  std::int16_t shot_aim = aim_centre;
  std::int32_t player_score = 0;
  std::int32_t cpu_score = 0;
  bool operator==(const MatchState&) const = default;
};

// Puts skaters, goalies and puck back to the face-off after a goal.
void face_off_reset(MatchState& match);

// What player two needs beyond the second skater's fields of the match. It starts as player
// one does, mirrored: facing its own way, aiming at the middle of the goal. Like player one's,
// neither is touched by a face-off.
struct PlayerTwoState {
  std::int32_t facing = facing_left;
  std::int16_t shot_aim = aim_centre;
  bool operator==(const PlayerTwoState&) const = default;
};

// The match as player two sees it: player one's view from the other end of the rink, the two
// skaters and the two goalies swapped and left and right mirrored, so that whatever is asked of
// player one's rules holds for player two there (the autopilot plays either side by it).
MatchState seen_by_player_two(const MatchState& m, const PlayerTwoState& two);
// Player one's key for an action, in that view, as player two's key (Left is player two's Right).
int player_two_key(int vk);
