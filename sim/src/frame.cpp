// One frame of the game as a pass of stages: the rink, every figure's step, the scoreboard and
// the present. A frame that reaches one of the game's waits stops after the stage that asked for
// it; the pass that brings the awaited key goes on with the stage after it.

#include <array>
#include <utility>

#include "player_rules.h"
#include "sim/match.h"
#include "sim/stages.h"

namespace {

using Stage = bool (*)(Match&);

struct FrameStage {
  Stage run;
  bool after_a_wait;  // runs only when the stage before it waited; skipped otherwise
};

// A player's turn after the knocked-down countdown: carrying, lying, checking or skating.
bool player_turn(const SkaterOnSide& s) {
  if (s.own.has_puck) return shot_step(s);
  if (s.own.down_timer != 0) return true;  // still lying on the ice
  if (s.key_down(VK_RETURN)) return check_step(s);
  return skate_step(s);
}

// The rink, with player one drawn where it stood before moving.
bool rink(Match& match) {
  match.player_draw_position = {match.player_x, match.player_y};
  return blit_background(match.canvas);
}

// Player one: the knocked-down countdown, then a turn. The puck flies free this frame unless a
// skater carries it or player one just shot it.
bool player_one(Match& match) {
  const bool carrying = match.player_has_puck;
  if (!player_down_step(match) || !player_one_turn(match)) return false;
  match.progress.puck_free = !carrying && !match.player_has_puck && !match.cpu_has_puck;
  return true;
}

template <Stage stage>
bool if_puck_free(Match& match) {
  return !match.progress.puck_free || stage(match);
}

// The second skater's turn: the computer's, or player two's in a two-player match.
bool second_skater(Match& match) {
  if (!match.two_players) return update_cpu_skater(match);
  match.player_two_draw_position = {match.cpu_x, match.cpu_y};
  return player_two_down_step(match) && player_two_turn(match);
}

constexpr std::array<FrameStage, 12> frame_stages{{
    {rink, false},                                // the rink; player one is drawn before moving
    {player_one, false},                          // knocked-down countdown; skate, shoot or check
    {if_puck_free<free_puck_flight>, false},      // boards, goal sides, the move, the puck drawn
    {if_puck_free<right_net>, false},             // player one scores: the drop text, wait for D
    {count_right_goal, true},                     // the goal counts; face-off
    {if_puck_free<left_net>, false},              // the second skater scores: the same
    {count_left_goal, true},                      // the goal counts; face-off
    {if_puck_free<puck_taken_or_saved>, false},   // pick-ups, then the goalies' save rolls
    {second_skater, false},                       // the computer or player two
    {update_goalies, false},                      // both goalies
    {finish_frame, false},                        // scoreboard and present; at 10 goals, wait for N
    {new_match, true},                            // the scores start again from 0
}};

// Runs the frame's stages from where it stands, until its end, a failed draw or a wait for a key
// the pass does not hold.
PassEnd run_stages(Match& match) {
  FrameProgress& progress = match.progress;
  while (progress.next_stage < static_cast<int>(frame_stages.size())) {
    const FrameStage& stage = frame_stages[static_cast<std::size_t>(progress.next_stage++)];
    const bool waited = std::exchange(progress.awaited_vk, 0) != 0;
    if (stage.after_a_wait && !waited) continue;
    if (!stage.run(match)) {
      progress = {};
      return PassEnd::frame_failed;
    }
    if (progress.awaited_vk != 0 && !match.keys.held(progress.awaited_vk)) return PassEnd::waiting;
  }
  progress = {};
  return PassEnd::frame_done;
}

}  // namespace

bool player_one_turn(Match& match) { return player_turn(player_one_side(match)); }
bool player_two_turn(Match& match) { return player_turn(player_two_side(match)); }

void wait_for(Match& match, int vk) { match.progress.awaited_vk = vk; }

PassKeys split_keys(const platform::KeySet& held) {
  PassKeys keys{held, {}};
  for (const int vk : {VK_P2_LEFT, VK_P2_RIGHT, VK_P2_UP, VK_P2_DOWN, VK_P2_SHOOT, VK_P2_CHECK}) {
    if (held.count(vk) == 0) continue;
    keys.player_one.erase(vk);
    keys.player_two.insert(vk);
  }
  return keys;
}

platform::KeySet joined_keys(const PassKeys& keys) {
  platform::KeySet held;
  for (const int vk : platform::game_keys) {
    if (keys.held(vk)) held.insert(vk);
  }
  return held;
}

Match start_match(int players, const Canvas& canvas, platform::Random random) {
  Match match;
  match.two_players = players == 2;
  match.random = random;
  match.canvas = canvas;
  return match;
}

PassEnd step(Match& match, const PassKeys& keys) {
  match.keys = keys;
  if (match.progress.awaited_vk != 0 && !keys.held(match.progress.awaited_vk)) return PassEnd::waiting;
  return run_stages(match);
}

PassEnd give_up_waiting(Match& match) { return run_stages(match); }
