#include "player_stages.h"

#include "player_rules.h"

bool player_skate_step() { return skate_step(player_one_side()); }
bool player_carry_step() { return carry_step(player_one_side()); }
bool player_shot_step() { return shot_step(player_one_side()); }
bool release_player_shot() { return release_shot(player_one_side()); }
bool player_check_step() { return check_step(player_one_side()); }

bool player_two_skate_step() { return skate_step(player_two_side()); }
bool player_two_carry_step() { return carry_step(player_two_side()); }
bool player_two_shot_step() { return shot_step(player_two_side()); }
bool release_player_two_shot() { return release_shot(player_two_side()); }
bool player_two_check_step() { return check_step(player_two_side()); }
