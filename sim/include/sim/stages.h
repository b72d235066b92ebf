#pragma once
// The stages of one frame. Each returns false when one of its draws failed, which ends the
// frame at once.

#include "sim/cues.h"

// Player one knocked down: counts the timer down and shows the lying image.
bool player_down_step();
// Player one's turn after its knocked-down countdown: carrying, lying, checking or skating.
bool player_one_turn();
// Player two, in a two-player match: the same countdown, mirrored, on the second skater.
bool player_two_down_step();
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
