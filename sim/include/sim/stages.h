#pragma once
// The stages of one frame, over the match. Each returns false when one of its draws failed,
// which ends the frame at once. A stage that reaches one of the game's waits asks for its key
// (wait_for) and returns; the stage after it goes on once the key comes.

#include "sim/cues.h"
#include "sim/match.h"

// Player one knocked down: counts the timer down and shows the lying image.
bool player_down_step(Match& match);
// Player one's turn after its knocked-down countdown: carrying, lying, checking or skating.
bool player_one_turn(Match& match);
// Player two, in a two-player match: the same countdown, mirrored, on the second skater.
bool player_two_down_step(Match& match);
// Player two's turn after its knocked-down countdown, where the computer skater's would run.
bool player_two_turn(Match& match);
// The free puck's flight: boards, goal sides, the move, the puck drawn.
bool free_puck_flight(Match& match);
// The puck wholly in the right net: player one's goal, and the wait for D.
bool right_net(Match& match);
// The puck touching the left net: the second skater's goal, and the wait for D.
bool left_net(Match& match);
// After the wait for D: the goal counts and everybody faces off again.
bool count_right_goal(Match& match);
bool count_left_goal(Match& match);
// A skater on its feet takes the puck at its blade; else a goalie in front of it may save.
bool puck_taken_or_saved(Match& match);
// A goal: shows the drop text, presents, reports the scorer and asks for D.
bool goal_pause(Match& match, CueWho scorer);
// The computer skater.
bool update_cpu_skater(Match& match);
// The left goalie, then the right goalie.
bool update_goalies(Match& match);
// Scoreboard and present; once a side has won, the wait for N.
bool finish_frame(Match& match);
// After the wait for N: the next match starts from wherever everybody stands.
bool new_match(Match& match);

// The frame stops after this stage until a pass holds `vk`.
void wait_for(Match& match, int vk);
