#include "skater.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace art {
namespace {

constexpr double thigh_length = 11;
constexpr double shin_length = 10.5;
constexpr double torso_length = 15;
constexpr double head_radius = 5.4;
constexpr double hip_spread = 3.5;       // front and back views: each hip from the middle
constexpr double shoulder_spread = 7.5;  // front and back views: each shoulder from the middle

const Tone jersey_tone{jersey_light, jersey, jersey_dark};
const Tone trim_tone{trim_light, trim, trim_dark};
const Tone pants_tone{pants_light, pants, pants_dark};
const Tone skin_tone{skin_light, skin, skin_dark};
const Tone helmet_tone{helmet_light, helmet, helmet_dark};
const Tone glove_tone{glove_light, glove, glove_dark};

struct LegJoints {
  Vec2 hip;
  Vec2 knee;
  Vec2 ankle;
};

// Where the joints of a pose lie; the hips start at height 0 and the whole body is then lifted
// or lowered until the lowest skate blade stands on the ice.
struct Skeleton {
  Vec2 hip;
  Vec2 shoulder;
  Vec2 head;
  LegJoints near_leg;
  LegJoints far_leg;
};

// `outward` is +1 when positive leg angles point right in the picture, -1 when left.
LegJoints place_leg(Vec2 hip, const Leg& leg, double outward) {
  const Vec2 knee = hip + direction(180 - outward * leg.thigh) * thigh_length;
  return {hip, knee, knee + direction(180 - outward * leg.shin) * shin_length};
}

double lowest_point(const Skeleton& s) {
  return std::max({s.near_leg.ankle.y + ankle_height, s.far_leg.ankle.y + ankle_height, s.hip.y + 6.0,
                   s.shoulder.y + 7.0, s.head.y + head_radius});
}

Skeleton place_skeleton(const SkaterPose& pose) {
  const Vec2 hip{pose.hip_x, 0};
  Skeleton s{};
  s.hip = hip;
  if (pose.view == View::side) {
    s.shoulder = hip + direction(pose.lean) * torso_length;
    s.head = s.shoulder + direction(pose.lean * 0.6) * (head_radius + 3.0);
    s.near_leg = place_leg(hip + Vec2{0.5, 0}, pose.near_leg, 1);
    s.far_leg = place_leg(hip + Vec2{-0.5, -0.5}, pose.far_leg, 1);
  } else {
    s.shoulder = hip + Vec2{0, -torso_length};
    s.head = s.shoulder + Vec2{0, -(head_radius + 2.5)};
    s.near_leg = place_leg(hip + Vec2{hip_spread, 0}, pose.near_leg, 1);
    s.far_leg = place_leg(hip + Vec2{-hip_spread, 0}, pose.far_leg, -1);
  }
  const Vec2 lift{0, ground_y - lowest_point(s)};
  for (Vec2* joint : {&s.hip, &s.shoulder, &s.head, &s.near_leg.hip, &s.near_leg.knee,
                      &s.near_leg.ankle, &s.far_leg.hip, &s.far_leg.knee, &s.far_leg.ankle}) {
    *joint = *joint + lift;
  }
  return s;
}

// A leg: a sock with a stripe from knee to skate, the padded pants over the thigh.
void draw_leg(Canvas& canvas, const LegJoints& leg, Vec2 skate_forward, double skate_length, bool far) {
  const Limb shin{leg.knee, leg.ankle, 2.9, 2.3};
  fill_limb(canvas, shin, side_tone(jersey_tone, far));
  fill_limb(canvas, shin, side_tone(trim_tone, far), 0.3, 0.5);
  draw_skate(canvas, leg.ankle, skate_forward, skate_length, far);
  fill_limb(canvas, {leg.hip, leg.knee, 3.9, 3.2}, side_tone(pants_tone, far), -1.0, 0.8);
}

// The jersey with its hem stripe, the shoulders padded out, the pants round the hips.
void draw_torso(Canvas& canvas, const Skeleton& s, double width) {
  const Limb body{s.hip, s.shoulder, 5.2 * width, 6.4 * width};
  fill_limb(canvas, body, jersey_tone);
  fill_limb(canvas, body, trim_tone, 0.24, 0.36);
  fill_limb(canvas, {s.hip, s.shoulder, 6.0 * width, 6.0 * width}, pants_tone, -1.0, 0.22);
}

// A helmeted head looking right (`towards` > 0) or at the viewer (0); seen from behind
// (`face` false) it is all helmet.
void draw_head(Canvas& canvas, Vec2 centre, double towards, bool face) {
  const double r = head_radius;
  paint(canvas, static_cast<int>(centre.x - r) - 1, static_cast<int>(centre.y - r) - 1,
        static_cast<int>(centre.x + r) + 2, static_cast<int>(centre.y + r) + 2, [&](int x, int y) {
          const Vec2 rel = Vec2{x + 0.5, y + 0.5} - centre;
          if (length(rel) > r) return -1;
          // The open part of the helmet: ahead of the ear in a side view, the middle in front.
          const bool open = towards > 0 ? rel.x > 0.6 : std::abs(rel.x) < 3.4;
          if (face && open && rel.y > -2.0) {
            if (rel.y < -0.6) return int{skate_steel};  // the visor
            return int{shade_rounded(skin_tone, rel, r, 0.6)};
          }
          return int{shade_rounded(helmet_tone, rel, r)};
        });
  if (!face) return;
  const int eye_y = static_cast<int>(centre.y + 0.6);
  if (towards > 0) {
    canvas.plot(static_cast<int>(centre.x + 2.8), eye_y, outline);
  } else {
    canvas.plot(static_cast<int>(centre.x - 1.7), eye_y, outline);
    canvas.plot(static_cast<int>(centre.x + 1.7), eye_y, outline);
  }
}

// A 7 across the shoulders of the jersey's back.
void draw_back_number(Canvas& canvas, Vec2 neck) {
  const Vec2 top_left = neck + Vec2{-3, 3.5};
  const Vec2 top_right = neck + Vec2{2.5, 3.5};
  fill_limb(canvas, {top_left, top_right, 1.0, 1.0}, flat(trim_light));
  fill_limb(canvas, {top_right, neck + Vec2{-1, 11}, 1.0, 1.0}, flat(trim_light));
}

// Side views: the far arm takes the lower grip, the near arm, drawn over the body, the top one.
ArmStyle arm_style(bool far) {
  return {side_tone(jersey_tone, far), side_tone(trim_tone, far), side_tone(glove_tone, far), 2.4, 2.7, !far};
}

void draw_side_view(Canvas& canvas, const SkaterPose& pose, const Skeleton& s) {
  const auto skate_forward = [](const Leg& leg) { return direction(90 - leg.skate); };
  if (pose.stick_behind) draw_stick(canvas, pose.stick, true);
  draw_leg(canvas, s.far_leg, skate_forward(pose.far_leg), 1.0, true);
  draw_arm(canvas, s.shoulder + Vec2{-0.5, -0.5}, lower_grip(pose.stick), arm_style(true));
  draw_torso(canvas, s, 1.0);
  draw_leg(canvas, s.near_leg, skate_forward(pose.near_leg), 1.0, false);
  if (!pose.stick_behind) draw_stick(canvas, pose.stick, false);
  draw_head(canvas, s.head, 1, true);
  draw_arm(canvas, s.shoulder + Vec2{0.5, 0.8}, top_grip(pose.stick), arm_style(false));
}

// Seen from the front or the back: the stick crosses the body from the top hand on the left
// to the blade on the right; from behind, the body hides most of the shaft.
void draw_front_or_back(Canvas& canvas, const SkaterPose& pose, const Skeleton& s) {
  const bool from_behind = pose.view == View::back;
  const auto skate_turn = [](const Leg& leg, double outward) {
    return std::pair{Vec2{outward, 0}, std::sin(leg.skate * std::numbers::pi / 180)};
  };
  const auto [far_forward, far_length] = skate_turn(pose.far_leg, -1);
  const auto [near_forward, near_length] = skate_turn(pose.near_leg, 1);
  if (from_behind) draw_stick(canvas, pose.stick, true);
  draw_leg(canvas, s.far_leg, far_forward, far_length, false);
  draw_leg(canvas, s.near_leg, near_forward, near_length, false);
  draw_torso(canvas, s, 1.15);
  if (from_behind) draw_back_number(canvas, s.shoulder);
  draw_head(canvas, s.head, 0, !from_behind);
  if (!from_behind) draw_stick(canvas, pose.stick, false);
  const ArmStyle arm = arm_style(false);
  draw_arm(canvas, s.shoulder + Vec2{-shoulder_spread, 1.5}, top_grip(pose.stick), arm, {-1, 0.2});
  draw_arm(canvas, s.shoulder + Vec2{shoulder_spread, 1.5}, lower_grip(pose.stick), arm, {1, 0.2});
}

}  // namespace

Canvas draw_skater(const SkaterPose& pose) {
  Canvas canvas = blank_figure();
  const Skeleton s = place_skeleton(pose);
  if (pose.view == View::side) {
    draw_side_view(canvas, pose, s);
  } else {
    draw_front_or_back(canvas, pose, s);
  }
  constexpr double puck_left_edge = 44;
  if (pose.puck) draw_puck_on_ice(canvas, puck_left_edge);
  const double x0 = std::min({s.near_leg.ankle.x, s.far_leg.ankle.x, pose.stick.heel.x}) - 4;
  const double x1 = std::max({s.near_leg.ankle.x, s.far_leg.ankle.x, pose.stick.heel.x}) + 6;
  finish_figure(canvas, x0, x1);
  return canvas;
}

}  // namespace art
