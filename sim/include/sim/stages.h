#pragma once
// The stages of one frame. Each returns false when one of its draws failed, which ends the
// frame at once.

#include "sim/cues.h"

// Player one knocked down: counts the timer down and shows the lying image.
bool player_down_step();
// Player one skating without the puck.
bool player_skate_step();
// Player one skating with the puck (run by player_shot_step when Space is not held).
bool player_carry_step();
// Player one carrying: wind-up or carrying, then the release test.
bool player_shot_step();
// Sends the shot from player one's stick towards the right-hand goal.
bool release_player_shot();
// Player one's body check while Return is held.
bool player_check_step();
// Player one's turn after its knocked-down countdown: carrying, lying, checking or skating.
bool player_one_turn();
// Player two, in a two-player match: player one's stages above, mirrored, on the second skater.
bool player_two_down_step();
bool player_two_skate_step();
bool player_two_carry_step();
bool player_two_shot_step();
bool release_player_two_shot();
bool player_two_check_step();
// Player two's turn after its knocked-down countdown, where the computer skater's would run.
bool player_two_turn();
// The free puck: boards, goal sides, move, draw, goals, pick-ups, saves.
bool update_free_puck();
// A goal: shows the drop text, presents, reports the scorer and waits for D.
bool goal_pause(CueWho scorer);
// The computer skater.
bool update_cpu_skater();
// The left goalie, then the right goalie.
bool update_goalies();
// Scoreboard, present and the wait for N at a match end.
bool finish_frame();
