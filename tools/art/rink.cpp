// The rink: white ice inside rounded boards, the lines and circles of a hockey rink, the creases
// and nets at both ends, the stands around it and a band at the bottom for the scores.

#include <algorithm>
#include <cmath>

#include "art.h"

namespace art {
namespace {

// The ice is where the puck can lie: its top-left corner bounces off the boards, and the ice
// reaches just past the far corner of a puck at the boards.
constexpr double ice_left = board_left;
constexpr double ice_top = board_top;
constexpr double ice_right = board_right + 10;
constexpr double ice_bottom = board_bottom + puck_size;
constexpr double corner_radius = 42;

constexpr int score_band_top = 453;  // the score texts are written from y 450 on
// Player one's texts are blue, which reads poorly on the dark band: they get a light plate that
// reaches to the computer's column at x 300. The computer's red and green texts read well on
// the dark band as it is.
constexpr int score_plate_left = 3;
constexpr int score_plate_right = 296;

// The face-off puck rests with its 9 by 9 pixels at (316, 236): centre ice is its middle.
constexpr Vec2 centre_ice{320.5, 240.5};

// The goals: their sides run along the rows the puck bounces off, over the goals' columns from
// the back of the net to the goal line; the bottom side's row is drawn whole.
constexpr double goal_top = goal_top_side;
constexpr double goal_bottom = goal_bottom_side + 1;
constexpr double goal_depth = left_goal.right - left_goal.left;
constexpr double left_goal_line = left_goal.right;
constexpr double right_goal_line = right_goal.left;
static_assert(right_goal.right - right_goal.left == left_goal.right - left_goal.left, "both nets are as deep");
constexpr double goal_middle = (goal_top + goal_bottom) / 2;

// Distance from the pixel centre to the edge of the ice: negative on the ice, positive beyond.
double ice_distance(int x, int y) {
  const double half_w = (ice_right - ice_left) / 2;
  const double half_h = (ice_bottom - ice_top) / 2;
  const double qx = std::abs(x + 0.5 - (ice_left + half_w)) - (half_w - corner_radius);
  const double qy = std::abs(y + 0.5 - (ice_top + half_h)) - (half_h - corner_radius);
  const double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
  return outside + std::min(std::max(qx, qy), 0.0) - corner_radius;
}

// A 4 by 4 ordered dither: true on a `level` (0..1) share of the pixels, spread evenly.
bool dither(int x, int y, double level) {
  static constexpr int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  return (bayer[y & 3][x & 3] + 0.5) / 16.0 < level;
}

// The ice is brightest in the middle and greys softly towards the boards.
int ice_ink(int x, int y) {
  const double depth = -ice_distance(x, y);
  if (depth < 2) return ice_edge;
  if (depth < 14) return dither(x, y, (depth - 2) / 12) ? ice : ice_shade;
  return dither(x, y, std::min((depth - 14) / 40, 1.0)) ? ice_bright : ice;
}

void paint_vertical_band(Canvas& rink, double x0, double x1, std::uint8_t ink) {
  fill_rect(rink, static_cast<int>(x0), 0, static_cast<int>(x1), rink_height, ink);
}

void paint_lines(Canvas& rink) {
  paint_vertical_band(rink, left_goal_line - 1, left_goal_line + 1, line_red);
  paint_vertical_band(rink, right_goal_line - 1, right_goal_line + 1, line_red);
  for (double blue_line : {centre_ice.x - 88, centre_ice.x + 88}) {
    paint_vertical_band(rink, blue_line - 3.5, blue_line + 3.5, line_blue);
  }
  // The centre line is red with a white dash down its middle.
  paint_vertical_band(rink, centre_ice.x - 3.5, centre_ice.x + 3.5, line_red);
  const int dash_left = static_cast<int>(centre_ice.x - 1.5);
  paint(rink, dash_left, 0, dash_left + 3, rink_height,
        [](int, int y) { return y % 12 < 5 ? int{white} : -1; });
}

void paint_spot(Canvas& rink, Vec2 at, double radius, std::uint8_t ink) {
  fill_ellipse(rink, at, radius, radius, flat(ink));
}

// A face-off circle of the end zones: red ring, spot, and the hash marks on either side.
void paint_face_off_circle(Canvas& rink, Vec2 centre) {
  constexpr double radius = 36;
  constexpr int mark_length = 6;
  draw_ellipse_ring(rink, centre, radius, radius, 2, line_red);
  paint_spot(rink, centre, 4.5, line_red);
  for (double mark_y : {centre.y - 9, centre.y + 8}) {
    // Each mark starts on the ring, where it crosses the mark's rows.
    const double half_chord = std::sqrt(radius * radius - (mark_y + 1 - centre.y) * (mark_y + 1 - centre.y));
    const int left_end = static_cast<int>(centre.x - half_chord) + 1;
    const int right_start = static_cast<int>(centre.x + half_chord);
    const int top = static_cast<int>(mark_y);
    fill_rect(rink, left_end - mark_length, top, left_end, top + 2, line_red);
    fill_rect(rink, right_start, top, right_start + mark_length, top + 2, line_red);
  }
}

void paint_circles(Canvas& rink) {
  draw_ellipse_ring(rink, centre_ice, 46, 46, 2, line_blue);
  paint_spot(rink, centre_ice, 6.5, line_blue);
  for (double y : {centre_ice.y - 90, centre_ice.y + 90}) {
    for (double x : {centre_ice.x - 165, centre_ice.x + 165}) paint_face_off_circle(rink, {x, y});
    // The neutral-zone spots, just inside the blue lines.
    for (double x : {centre_ice.x - 68, centre_ice.x + 68}) paint_spot(rink, {x, y}, 4.5, line_red);
  }
  // The referee's crease against the bottom boards.
  draw_ellipse_ring(rink, {centre_ice.x, ice_bottom}, 26, 26, 2, line_red);
}

// A crease: the half ellipse in front of a goal mouth, light blue inside a red edge.
// `outward` is +1 for the left goal (the crease lies to its right) and -1 for the right goal.
void paint_crease(Canvas& rink, double goal_line, double outward) {
  const Vec2 centre{goal_line, goal_middle};
  const double rx = 30;
  const double ry = 44;
  paint(rink, static_cast<int>(goal_line - rx - 1), static_cast<int>(centre.y - ry - 1),
        static_cast<int>(goal_line + rx + 2), static_cast<int>(centre.y + ry + 2), [&](int x, int y) {
          const double dx = x + 0.5 - centre.x;
          const double dy = y + 0.5 - centre.y;
          if (dx * outward < 1) return -1;  // the goal line itself stays red
          const double r = std::hypot(dx / rx, dy / ry);
          if (r > 1) return -1;
          if (r > 1 - 2.2 / std::min(rx, ry)) return int{line_red};
          return dither(x, y, r * 0.7) ? int{crease_blue} : int{crease_blue_light};
        });
}

// Whether a pixel lies inside a net seen from above: the mouth on the goal line, the back
// rounded. `outward` as for the crease.
bool in_net(double x, double y, double goal_line, double outward) {
  const double back = goal_line - outward * goal_depth;
  const double depth = (x - back) * outward;  // 0 at the back, goal_depth at the mouth
  if (depth < 0 || depth > goal_depth || y < goal_top || y > goal_bottom) return false;
  constexpr double back_round = 18;
  if (depth >= back_round) return true;
  const double corner_y = std::clamp(y, goal_top + back_round, goal_bottom - back_round);
  return std::hypot(back_round - depth, y - corner_y) <= back_round;
}

void paint_net(Canvas& rink, double goal_line, double outward) {
  const int x0 = static_cast<int>(std::min(goal_line, goal_line - outward * goal_depth)) - 4;
  const int x1 = x0 + static_cast<int>(goal_depth) + 12;
  const int y0 = static_cast<int>(goal_top) - 4;
  const int y1 = static_cast<int>(goal_bottom) + 8;
  const auto net = [&](int x, int y) { return in_net(x + 0.5, y + 0.5, goal_line, outward); };
  paint(rink, x0, y0, x1, y1, [&](int x, int y) {
    if (!net(x, y)) {
      // The net's shadow falls to the bottom right on the ice around it.
      return net(x - 2, y - 3) && rink.at(x, y) != line_red ? int{ice_edge} : -1;
    }
    const bool frame = !net(x - 2, y) || !net(x + 2, y) || !net(x, y - 2) || !net(x, y + 2);
    if (frame) return net(x - 1, y - 1) && net(x + 1, y + 1) ? int{net_post} : int{line_red_dark};
    // The mesh: a square weave, greyer towards the back where the net is deepest.
    const double depth = std::abs(x + 0.5 - goal_line) / goal_depth;
    if (x % 4 == 0 || y % 4 == 0) return int{net_mesh};
    return dither(x, y, depth * 0.8) ? int{net_shadow} : int{ice_bright};
  });
  for (double post_y : {goal_top + 1, goal_bottom - 1}) {
    fill_ellipse(rink, {goal_line, post_y}, 3, 3, flat(net_post));
  }
}

// Beyond the ice: the yellow kick plate, the white boards with their cap, then the stands.
int surroundings_ink(int x, int y) {
  const double d = ice_distance(x, y);
  if (d < 0) return -1;
  if (d < 2) return kick_plate;
  if (d < 3) return kick_plate_dark;
  if (d < 5) return board;
  if (d < 6) return board_shade;
  if (d < 8) return board_cap;
  // Rows of seats follow the boards.
  const int seat_row = static_cast<int>((d - 8) / 3);
  if (seat_row % 2 == 1) return stands_dark;
  return dither(x, y, 0.25) ? stands_light : stands;
}

}  // namespace

Canvas draw_rink() {
  Canvas rink(rink_width, rink_height, ice);
  paint(rink, 0, 0, rink_width, rink_height, [](int x, int y) { return ice_ink(x, y); });
  paint_lines(rink);
  paint_circles(rink);
  paint_crease(rink, left_goal_line, 1);
  paint_crease(rink, right_goal_line, -1);
  paint_net(rink, left_goal_line, 1);
  paint_net(rink, right_goal_line, -1);
  paint(rink, 0, 0, rink_width, rink_height, surroundings_ink);
  fill_rect(rink, 0, score_band_top, rink_width, rink_height, band);
  fill_rect(rink, score_plate_left, score_band_top, score_plate_right, rink_height - 1, score_plate_rim);
  fill_rect(rink, score_plate_left + 1, score_band_top + 1, score_plate_right - 1, rink_height - 2, score_plate);
  return rink;
}

}  // namespace art
