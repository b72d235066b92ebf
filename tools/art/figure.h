#pragma once
// Parts shared by the skater and goalie pictures: skates, arms, sticks, the puck on the ice,
// and the finish (outline and shadow) of a 64 by 64 figure. Figures are drawn facing right;
// the left-facing pictures are mirror images.

#include "canvas.h"

namespace art {

constexpr int figure_size = 64;
// Skate blades stand on this line: row 57 is the lowest row a blade paints. A skater picks the
// puck up when its top-left corner lies 36 to 49 rows below the skater's, that is when the
// puck's bottom row is 44 to 57: the stick blade and a carried puck rest on this line too.
constexpr double ground_y = 58.0;
// Column x of a right-facing figure becomes column 64 - x facing left, so that the stick
// blade lands in the same pick-up columns (12 and beyond) on both sides; columns 0 and 1 of
// a right-facing figure stay empty.
constexpr int mirror_axis = 64;

// From the ankle down to the bottom of the skate blade.
constexpr double ankle_height = 4.5;

// A transparent 64 by 64 picture to draw a figure on.
Canvas blank_figure();
// The tone of a part as it shows: one step darker on the far side of the body.
Tone side_tone(const Tone& tone, bool far);

// A skate on the ice under `ankle`: `forward` points from heel to toe, `length` 1 for a skate
// seen from the side, down to 0 for one seen end-on.
void draw_skate(Canvas& canvas, Vec2 ankle, Vec2 forward, double length, bool far);

// An arm from the shoulder to a hand, bent at the elbow when the hand is near, with a trim
// stripe round the forearm and a glove on the hand. The elbow points towards `elbow_side`:
// by default back and down, as for a skater facing right.
struct ArmStyle {
  Tone sleeve;
  Tone stripe;
  Tone glove;
  double thickness;
  double glove_size;
  bool contour;  // an outline of its own, for an arm that lies over the body
};
void draw_arm(Canvas& canvas, Vec2 shoulder, Vec2 hand, const ArmStyle& style,
              Vec2 elbow_side = {-1, 1});

// A stick, placed by the heel of its blade and the way the shaft points from its butt end
// down to the blade (degrees clockwise from straight up: 180 points straight down). A stick
// swung back behind the body points partly away from the viewer and looks shorter: `length`.
struct Stick {
  Vec2 heel;
  double reach;
  double length = 1.0;
};
constexpr double stick_length = 28;
// The shaft's direction when the blade lies flat on the ice, pointing forward.
constexpr double stick_rest_reach = 148;
inline constexpr Tone shaft_tone{shaft_light, shaft, shaft_dark};
// A point on the shaft, `along` its length from the heel (0) to the butt end (1).
Vec2 stick_point(const Stick& stick, double along);
// Where the top and the lower hand hold the stick.
inline Vec2 top_grip(const Stick& stick) { return stick_point(stick, 0.92); }
inline Vec2 lower_grip(const Stick& stick) { return stick_point(stick, 0.6); }
// The stick placed so that its top grip lies at `grip`.
Stick stick_held_at(Vec2 grip, double reach, double length = 1.0);
void draw_stick(Canvas& canvas, const Stick& stick, bool far);

// The puck lying on the ice with its left edge at column `left`, 9 pixels wide like the puck
// the game draws, seen from the side.
void draw_puck_on_ice(Canvas& canvas, double left);

// Outlines the figure and lays its shadow on the ice between columns x0 and x1.
void finish_figure(Canvas& canvas, double x0, double x1);

}  // namespace art
