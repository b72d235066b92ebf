#pragma once
// One frame of the game: keys, every figure's step, the whole picture, present and pause.

#include "display/sprites.h"

// Where player one is drawn in this frame: its position before this frame's move.
struct PlayerDrawPosition {
  int x;
  int y;
};
extern PlayerDrawPosition player_draw_position;

// Draws one of player one's images where it stood when the frame began.
bool draw_player_one(SpriteId image);

// Runs one frame; 1 when it ran to its end, 0 when a draw failed and it stopped early.
int rink_frame();
