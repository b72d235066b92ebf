#include "sim/stages.h"

// Winding up, shooting and checking come later; until then a carrier only skates.
bool player_shot_step() { return player_carry_step(); }
bool release_player_shot() { return true; }
bool player_check_step() { return true; }
