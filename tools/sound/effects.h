#pragma once
// The game's sound effects, each synthesized from scratch. The durations add up to under 8 s:
// the web page downloads them.

#include <array>

#include "synth.h"

namespace sound {

// Blows on the ice (impacts.cpp).
Samples shot();    // the stick slaps the puck; playback scales it by the shot's strength
Samples boards();  // the puck thuds on the hollow boards
Samples post();    // the puck rings the goal post
Samples save();    // the goalie's pad stops the puck
Samples check();   // a body check crunches a skater into the boards

// Signals and music (signals.cpp).
Samples goal();     // the goal horn over the crowd's cheer
Samples whistle();  // the referee's whistle at the face-off
Samples win();      // the organ's jingle for a won match
Samples lose();     // a drooping trombone for a lost one

// TRIM_DB sets an effect off the common loudness where the ear hears it louder: a whistle's
// 3 kHz lies where hearing is keenest.
struct Effect {
  const char* file;
  Samples (*make)();
  double trim_db;
};

constexpr std::array<Effect, 9> effects{{
    {"shot.wav", shot, 0.0},
    {"boards.wav", boards, 0.0},
    {"post.wav", post, 0.0},
    {"save.wav", save, 0.0},
    {"check.wav", check, 0.0},
    {"goal.wav", goal, 0.0},
    {"whistle.wav", whistle, -3.0},
    {"win.wav", win, 0.0},
    {"lose.wav", lose, 0.0},
}};

}  // namespace sound
