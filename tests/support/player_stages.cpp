#include "player_stages.h"

#include "app/main_loop.h"
#include "platform/system.h"
#include "player_rules.h"
#include "sim/stages.h"

namespace {

// Waits as the main loop does for the key a stage asked for; true when one was asked for (the
// stage after it then runs), whether it came or no key can come any more.
bool waited(Match& match) {
  const int vk = awaited_key(match);
  if (vk == 0) return false;
  while (!match.keys.held(vk) && platform::idle_between_polls(vk)) match.keys = held_keys();
  match.progress.awaited_vk = 0;
  return true;
}

}  // namespace

bool player_skate_step(Match& match) { return skate_step(player_one_side(match)); }
bool player_carry_step(Match& match) { return carry_step(player_one_side(match)); }
bool player_shot_step(Match& match) { return shot_step(player_one_side(match)); }
bool release_player_shot(Match& match) { return release_shot(player_one_side(match)); }
bool player_check_step(Match& match) { return check_step(player_one_side(match)); }

bool player_two_skate_step(Match& match) { return skate_step(player_two_side(match)); }
bool player_two_carry_step(Match& match) { return carry_step(player_two_side(match)); }
bool player_two_shot_step(Match& match) { return shot_step(player_two_side(match)); }
bool release_player_two_shot(Match& match) { return release_shot(player_two_side(match)); }
bool player_two_check_step(Match& match) { return check_step(player_two_side(match)); }

bool update_free_puck(Match& match) {
  if (!free_puck_flight(match) || !right_net(match)) return false;
  if (waited(match)) count_right_goal(match);
  if (!left_net(match)) return false;
  if (waited(match)) count_left_goal(match);
  return puck_taken_or_saved(match);
}

bool finish_frame_and_new_match(Match& match) {
  if (!finish_frame(match)) return false;
  if (waited(match)) new_match(match);
  return true;
}
