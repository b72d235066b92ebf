#pragma once
// A player's rules, for either side of the rink: a player's turn (sim/stages.h) runs these for
// player one and for player two.

#include "skater_side.h"

// Knocked down: counts the timer down and shows the lying image.
bool down_step(const SkaterOnSide& s);
// Skating without the puck.
bool skate_step(const SkaterOnSide& s);
// Skating with the puck.
bool carry_step(const SkaterOnSide& s);
// Carrying: wind-up or carrying, then the release test.
bool shot_step(const SkaterOnSide& s);
// Sends the shot from the stick towards the goal this player attacks.
bool release_shot(const SkaterOnSide& s);
// The body check while the check key is held.
bool check_step(const SkaterOnSide& s);
