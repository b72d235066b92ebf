#pragma once
// What the two body checks share: player one checking the computer and the computer checking
// player one meet in the same square and are settled by the same rule.

#include <cstdint>

#include "sim/cues.h"
#include "sim/rules.h"

// Frames a skater lies on the ice after losing a check.
constexpr std::int32_t knock_down_frames = 20;

// The two skaters of the match touch (rules.h).
bool skaters_in_contact();

// The loser of a check lies on the ice and stops striding; the cue names who fell.
void knock_down(std::int32_t& down_timer, std::int32_t& stride, CueWho who);
