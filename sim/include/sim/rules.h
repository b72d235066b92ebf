#pragma once
// The rules of the match that can be asked without playing a frame: where player one's shot
// starts and how fast it flies, when the two skaters touch and who wins a check, where the nets
// and the goalies' save zones lie. The frame's stages play by these same functions, and the
// autopilot asks them, so nothing of the rules is written twice.

#include <cstdint>

// The puck's image is this many pixels wide and high.
constexpr int puck_size = 9;

// A goal's columns, both ends excluded.
struct GoalSpan {
  int left;
  int right;
};
constexpr GoalSpan left_goal{30, 90};
constexpr GoalSpan right_goal{550, 610};

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
