#pragma once
// A player's stages one by one, for tests that run a single stage: the game runs them only
// through a player's turn (sim/stages.h), so they live with the tests, not in the game.

// Player one skating without the puck.
bool player_skate_step();
// Player one skating with the puck.
bool player_carry_step();
// Player one carrying: wind-up or carrying, then the release test.
bool player_shot_step();
// Sends the shot from player one's stick towards the right-hand goal.
bool release_player_shot();
// Player one's body check while Return is held.
bool player_check_step();
// The same stages for player two, mirrored, on the second skater.
bool player_two_skate_step();
bool player_two_carry_step();
bool player_two_shot_step();
bool release_player_two_shot();
bool player_two_check_step();
