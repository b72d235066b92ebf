// The goalie, seen from the front with the head turned towards the ice on the right: big pads,
// a catching glove on the left, the blocker and the stick on the right.

#include "goalie.h"

#include "figure.h"

namespace art {
namespace {

const Tone jersey_tone{goalie_jersey_light, goalie_jersey, goalie_jersey_dark};
const Tone pad_tone{pad_light, pad, pad_dark};
const Tone pants_tone{pants_light, pants, pants_dark};
const Tone glove_tone{glove_light, glove, glove_dark};

constexpr double centre_x = 29;

struct GoaliePose {
  double hip_y;
  double knee_spread;   // each knee from the middle
  double ankle_spread;  // each skate from the middle
  Vec2 glove;           // the catching hand
  double glove_size;
  Vec2 blocker;         // the stick hand
  Stick stick;
};

// Waiting or shuffling across the crease: standing tall, pads together, glove low.
constexpr GoaliePose moving{35, 5.5, 8, {16, 35}, 4.8, {42, 37}, {{41, 56.5}, 170, 0.75}};
// Set for a shot: low in the crease, pads spread, glove up and open, stick flat in front.
constexpr GoaliePose set{39, 5, 12.5, {12, 24}, 5.6, {45, 39}, {{37, 56.5}, 158, 0.7}};

void draw_pads(Canvas& canvas, const GoaliePose& pose) {
  for (double side : {-1.0, 1.0}) {
    const Vec2 knee{centre_x + side * pose.knee_spread, pose.hip_y + 6};
    const Vec2 ankle{centre_x + side * pose.ankle_spread, ground_y - 5};
    draw_skate(canvas, ankle, {side, 0}, 0.45, false);
    // The pads reach from the skate up over the knee.
    const Limb pad_leg{knee, ankle, 5.0, 4.6};
    fill_limb(canvas, {knee, ankle, 6.0, 5.6}, flat(outline), -0.5, 1.0);  // keeps the two pads apart
    fill_limb(canvas, pad_leg, pad_tone, -0.6, 1.0);
    for (double band : {-0.1, 0.45}) fill_limb(canvas, pad_leg, jersey_tone, band, band + 0.12);
  }
}

void draw_body(Canvas& canvas, const GoaliePose& pose) {
  const Vec2 hip{centre_x, pose.hip_y};
  const Vec2 neck{centre_x + 1, pose.hip_y - 17};
  fill_ellipse(canvas, hip + Vec2{0, 1}, 9.5, 5.5, pants_tone);
  const Limb chest{hip + Vec2{0, -3}, neck, 8.5, 10.0};
  fill_limb(canvas, chest, jersey_tone);
  fill_limb(canvas, chest, pad_tone, 0.12, 0.26);  // the white band across the chest
}

// The mask, turned towards the ice, with the bars of its cage over the face.
void draw_mask(Canvas& canvas, Vec2 centre) {
  fill_ellipse(canvas, centre, 6.2, 6.4, pad_tone);
  paint(canvas, static_cast<int>(centre.x) - 1, static_cast<int>(centre.y) - 2,
        static_cast<int>(centre.x) + 7, static_cast<int>(centre.y) + 6, [&](int x, int y) {
          const Vec2 rel = Vec2{x + 0.5, y + 0.5} - centre;
          if (rel.x < -0.5 || rel.x * rel.x / 30 + rel.y * rel.y / 36 > 1) return -1;
          const bool bar = (x % 2 == 0) || (y % 3 == 0);
          return bar ? int{mask_cage} : int{skin_dark};
        });
}

void draw_arms(Canvas& canvas, const GoaliePose& pose) {
  const double shoulder_y = pose.hip_y - 15;
  const ArmStyle sleeve{jersey_tone, jersey_tone, glove_tone, 3.0, pose.glove_size, true};
  draw_arm(canvas, {centre_x - 8, shoulder_y}, pose.glove, sleeve);
  // The open pocket of the catching glove.
  fill_ellipse(canvas, pose.glove + Vec2{0.5, -0.5}, pose.glove_size * 0.55, pose.glove_size * 0.55,
               flat(glove_light));
  draw_stick(canvas, pose.stick, false);
  const Vec2 paddle_top = stick_point(pose.stick, 0.55);
  fill_limb(canvas, {pose.stick.heel, paddle_top, 1.8, 1.6}, shaft_tone);
  const ArmStyle blocker_arm{jersey_tone, jersey_tone, pad_tone, 3.0, 0.1, false};
  draw_arm(canvas, {centre_x + 9, shoulder_y}, pose.blocker, blocker_arm);
  // The blocker: a padded board on the back of the stick hand.
  fill_limb(canvas, {pose.blocker + Vec2{2.5, -4.5}, pose.blocker + Vec2{2.5, 3.5}, 3.0, 3.0}, pad_tone);
  fill_limb(canvas, {pose.blocker + Vec2{2.5, -4.5}, pose.blocker + Vec2{2.5, 3.5}, 1.2, 1.2},
            jersey_tone, 0.3, 0.7);
}

Canvas draw_goalie_pose(const GoaliePose& pose) {
  Canvas canvas = blank_figure();
  draw_body(canvas, pose);
  draw_pads(canvas, pose);
  draw_mask(canvas, {centre_x + 1.5, pose.hip_y - 24});
  draw_arms(canvas, pose);
  finish_figure(canvas, centre_x - pose.ankle_spread - 5, centre_x + pose.ankle_spread + 8);
  return canvas;
}

}  // namespace

Canvas draw_goalie(bool facing_right, bool set_for_shot) {
  const Canvas right = draw_goalie_pose(set_for_shot ? set : moving);
  return facing_right ? right : mirrored(right, mirror_axis, transparent);
}

}  // namespace art
