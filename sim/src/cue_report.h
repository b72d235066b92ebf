#pragma once
// How the stages report what a frame gives to hear (sim/cues.h).

#include <cstdint>

#include "sim/cues.h"
#include "sim/match.h"
#include "sim/rules.h"

// Tells the match's observer, if it has one.
void report_cue(const Match& match, CueKind kind, CueWho who, int strength = full_strength);

// A shot's strength: its wind-up as a share of the longest one.
int windup_strength(std::int32_t windup_frames);
