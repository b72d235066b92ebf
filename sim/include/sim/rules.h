#pragma once
// The rules of the match that can be asked without playing a frame: where player one's shot
// starts and how fast it flies, when the two skaters touch and who wins a check, where the nets
// and the goalies' save zones lie. The frame's stages play by these same functions, and the
// autopilot asks them, so nothing of the rules is written twice.

#include <cstdint>

// The rink's picture; a skater's or goalie's image is a square of figure_size with its
// position at the top-left corner.
constexpr int rink_width = 640;
constexpr int rink_height = 480;
constexpr int figure_size = 64;

// The puck's image is this many pixels wide and high.
constexpr int puck_size = 9;

// The boards, as limits for a top-left corner: the free puck bounces and the computer skater
// turns round when its next corner would leave x 20..620 or y 40..440.
constexpr int board_left = 20;
constexpr int board_right = 620;
constexpr int board_top = 40;
constexpr int board_bottom = 440;

// A goal's columns, both ends excluded: from the back of the net to the goal line.
struct GoalSpan {
  int left;
  int right;
};
constexpr GoalSpan left_goal{30, 90};
constexpr GoalSpan right_goal{550, 610};

// Each goal's top and bottom sides are horizontal lines along these rows that the puck bounces off.
constexpr int goal_top_side = 179;
constexpr int goal_bottom_side = 281;

// Rows (exclusive) that the whole puck must lie between to be in either net.
constexpr int net_top = 190;
constexpr int net_bottom = 290;

// The keep-out areas in front of both goals that a carrier may not skate into, for the
// top-left corner of its image; all ends excluded.
constexpr GoalSpan left_crease{0, 90};
constexpr GoalSpan right_crease{550, 620};
constexpr int crease_top = 190;
constexpr int crease_bottom = 290;
bool in_crease(std::int32_t x, std::int32_t y);

// The square of a step's length, in whole numbers: comparing these orders steps by length.
std::int64_t squared_length(std::int64_t dx, std::int64_t dy);

// Where a puck is, and the step it moves by in a frame.
struct PuckFlight {
  std::int32_t x;
  std::int32_t y;
  std::int32_t dx;
  std::int32_t dy;
};

// A side with this score has won the match.
constexpr std::int32_t winning_score = 10;
bool has_won(std::int32_t score);

// Frames of the longest wind-up: player one's shot goes then even with Space still held.
constexpr int windup_limit = 18;

// Where player one's shots aim (`aim` a ShotAim): at the right goal, centre, high or low.
struct Spot {
  std::int32_t x;
  std::int32_t y;
};
Spot shot_target(int aim);

// Player one's shot by a skater whose image stands at (x, y), wound up for `windup` frames and
// aimed `aim` (a ShotAim): the puck leaves from the stick towards the right-hand goal, faster the
// longer the wind-up. A shot from the target itself has no direction: step (0, 0).
PuckFlight player_shot(std::int32_t x, std::int32_t y, std::int32_t windup, int aim);

// Player one's shot must go wholly into the right net; the computer's only has to touch the left one.
bool in_right_net(std::int32_t puck_x, std::int32_t puck_y);
bool in_left_net(std::int32_t puck_x, std::int32_t puck_y);

// A goalie's save zone: the lower part of its image standing at (goalie_x, goalie_y), in front of
// its pads. Its columns alone say whether a puck is in front of the goalie at any height.
bool in_save_columns(std::int32_t goalie_x, std::int32_t puck_x);
bool in_save_zone(std::int32_t goalie_x, std::int32_t goalie_y, std::int32_t puck_x, std::int32_t puck_y);

// The two skaters' images, standing at (ax, ay) and (bx, by), overlap by more than 21 pixels on
// both axes (less than 43 apart): a check can be settled.
bool skaters_in_contact(std::int32_t ax, std::int32_t ay, std::int32_t bx, std::int32_t by);

// The checker wins only with the strictly longer step; a tie goes to the carrier.
bool checker_faster(std::int32_t checker_dx, std::int32_t checker_dy, std::int32_t carrier_dx,
                    std::int32_t carrier_dy);
