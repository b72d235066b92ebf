#pragma once
// How the stages report what a frame gives to hear (sim/cues.h).

#include <cstdint>

#include "sim/cues.h"

// Frames of the longest wind-up: player one's shot goes then even with Space still held. It is
// also the scale of a shot's strength.
constexpr int windup_limit = 18;

// Tells the observer, if one is set.
void report_cue(CueKind kind, CueWho who, int strength = full_strength);

// A shot's strength: its wind-up as a share of the longest one.
int windup_strength(std::int32_t windup_frames);
