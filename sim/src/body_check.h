#pragma once
// What every body check shares: a player checking the other skater and the computer checking
// player one meet in the same square and are settled by the same rule.

#include <cstdint>

#include "sim/rules.h"
#include "skater_side.h"

// Frames a skater lies on the ice after losing a check.
constexpr std::int32_t knock_down_frames = 20;

// The two skaters of the match touch (rules.h).
bool skaters_in_contact(const MatchState& match);

// The checker takes the puck only with the strictly longer step, knocking the carrier down and
// ending its wind-up; otherwise, a tie included, the checker goes down and the carrier keeps it.
void settle_check(const Match& match, const SkaterFields& checker, const SkaterFields& carrier);
