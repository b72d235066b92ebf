#pragma once
// A skater assembled from body parts by a pose: how the body leans, how the legs bend, where
// the stick is and whether the puck lies at its blade.

#include "canvas.h"
#include "figure.h"

namespace art {

// Which side of the skater faces the viewer. Side views face right.
enum class View { side, front, back };

// A leg by the angles of thigh and shin from straight down (degrees; positive is forward in a
// side view and outward in a front or back view) and the turn of the skate: in a side view the
// toe lifts by `skate` degrees, in a front or back view the skate turns outward by that much
// (0: seen end-on, 90: seen from the side).
struct Leg {
  double thigh;
  double shin;
  double skate;
};

struct SkaterPose {
  View view;
  double hip_x;  // column of the hips; the height follows from the skates standing on the ice
  double lean;   // the body from upright, forward positive (side view only)
  Leg near_leg;  // side view: the leg towards the viewer; front or back: the right-hand leg
  Leg far_leg;   // side view: the other leg; front or back: the left-hand leg
  Stick stick;
  bool puck;     // the puck lies at the blade
  bool stick_behind = false;  // swung back behind the body
};

Canvas draw_skater(const SkaterPose& pose);

}  // namespace art
