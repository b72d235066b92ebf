#pragma once
// One frame of the game: keys, every figure's step, the whole picture, present and pause.

// Where a skater is drawn in this frame: its position before this frame's move.
struct DrawPosition {
  int x;
  int y;
};
extern DrawPosition player_draw_position;
// Player two's, taken when its turn comes, in a two-player match.
extern DrawPosition player_two_draw_position;

// Runs one frame; 1 when it ran to its end, 0 when a draw failed and it stopped early.
int rink_frame();
