#pragma once
// A frame's stages one by one or in the groups tests run them: the game runs them only through
// a frame's step (sim/match.h), so these live with the tests, not in the game. A wait a stage asks
// for is answered as the main loop answers it: a poll of the platform until its keys hold the key.

#include "sim/match.h"

// Player one skating without the puck.
bool player_skate_step(Match& match);
// Player one skating with the puck.
bool player_carry_step(Match& match);
// Player one carrying: wind-up or carrying, then the release test.
bool player_shot_step(Match& match);
// Sends the shot from player one's stick towards the right-hand goal.
bool release_player_shot(Match& match);
// Player one's body check while Return is held.
bool player_check_step(Match& match);
// The same stages for player two, mirrored, on the second skater.
bool player_two_skate_step(Match& match);
bool player_two_carry_step(Match& match);
bool player_two_shot_step(Match& match);
bool release_player_two_shot(Match& match);
bool player_two_check_step(Match& match);

// The free puck's stages, as a frame where it flies free runs them: flight, goals, pick-ups, saves.
bool update_free_puck(Match& match);
// The scoreboard's stage, and after a match end's wait for N the new match's.
bool finish_frame_and_new_match(Match& match);
