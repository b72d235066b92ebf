// Every sprite of the catalogue from pose data: the skater's stride, glide, wind-up, check and
// fall, front and back views, with and without the puck; the goalies; the puck.

#include <array>

#include "art.h"
#include "figure.h"
#include "goalie.h"
#include "skater.h"

namespace art {
namespace {

// Carrying the puck, the blade rests just behind it, flat on the ice.
constexpr Stick carried_stick{{38.5, 56.5}, stick_rest_reach};
// Seen from the front or back the stick comes down across the body to the skater's right.
constexpr Stick crossed_stick{{37.5, 56.5}, 143};

// Side views, facing right.
constexpr SkaterPose push{View::side, 23, 30, {38, 4, 0}, {-34, -58, 12}, carried_stick, false};
constexpr SkaterPose glide{View::side, 24, 22, {24, -4, 0}, {-10, -28, 0}, carried_stick, false};
constexpr SkaterPose check{View::side, 27, 44, {52, 12, 0}, {-38, -62, 16}, {{44, 56.5}, 128}, false};
constexpr SkaterPose fallen{View::side, 26, 100, {-84, -96, -70}, {-76, -88, -60}, {{55, 56.5}, 96}, false};

// Front and back views: the right leg pushes out, both glide, the left leg pushes out.
constexpr Leg pushing{24, 40, 70};
constexpr Leg gliding{6, 3, 10};
constexpr Leg under{-4, 2, 0};
constexpr SkaterPose stride_right{View::front, 27, 0, pushing, under, crossed_stick, false};
constexpr SkaterPose stride_both{View::front, 27, 0, gliding, gliding, crossed_stick, false};
constexpr SkaterPose stride_left{View::front, 27, 0, under, pushing, crossed_stick, false};

// The slap-shot wind-up: the top hand rises and the stick swings back and up, out of sight
// behind the body more and more; the body straightens as it loads.
struct WindUp {
  Vec2 grip;
  double reach;
  double length;
  double lean;
};
constexpr std::array<WindUp, 6> wind_up{{
    {{26, 32}, 152, 1.0, 24},
    {{25, 29}, 195, 0.95, 20},
    {{27, 27}, 235, 0.9, 16},
    {{29, 25}, 268, 0.85, 12},
    {{29, 24}, 298, 0.8, 8},
    {{28, 21}, 322, 0.78, 4},
}};

// The puck lies in front of the blade all through the wind-up.
SkaterPose shooting(int stage) {
  const WindUp& w = wind_up[static_cast<std::size_t>(stage)];
  const bool behind = stage >= 3;
  const Stick stick = stick_held_at(w.grip, w.reach, w.length);
  return {View::side, 24, w.lean, {30, 8, 0}, {-26, -40, 4}, stick, true, behind};
}

SkaterPose seen_as(SkaterPose pose, View view, bool puck) {
  pose.view = view;
  pose.puck = puck;
  return pose;
}

SkaterPose carrying(SkaterPose pose) {
  pose.puck = true;
  return pose;
}

struct SkaterImage {
  SpriteId id;
  SkaterPose pose;
  bool facing_left;
};

const SkaterImage skater_images[] = {
    {SpriteId::firstplayerone, push, false},
    {SpriteId::firstplayertwo, glide, false},
    {SpriteId::firstplayerthree, push, true},
    {SpriteId::firstplayerfour, glide, true},
    {SpriteId::playershootingleft1, shooting(0), true},
    {SpriteId::playershootingleft2, shooting(1), true},
    {SpriteId::playershootingleft3, shooting(2), true},
    {SpriteId::playershootingleft4, shooting(3), true},
    {SpriteId::playershootingleft5, shooting(4), true},
    {SpriteId::playershootingleft6, shooting(5), true},
    {SpriteId::playershootingright1, shooting(0), false},
    {SpriteId::playershootingright2, shooting(1), false},
    {SpriteId::playershootingright3, shooting(2), false},
    {SpriteId::playershootingright4, shooting(3), false},
    {SpriteId::playershootingright5, shooting(4), false},
    {SpriteId::playershootingright6, shooting(5), false},
    {SpriteId::up1, seen_as(stride_right, View::back, false), false},
    {SpriteId::up2, seen_as(stride_both, View::back, false), false},
    {SpriteId::up3, seen_as(stride_left, View::back, false), false},
    {SpriteId::down1, stride_right, false},
    {SpriteId::down2, stride_both, false},
    {SpriteId::down3, stride_left, false},
    {SpriteId::firstplayeronewpuck, carrying(push), false},
    {SpriteId::firstplayertwowpuck, carrying(glide), false},
    {SpriteId::firstplayerthreewpuck, carrying(push), true},
    {SpriteId::firstplayerfourwpuck, carrying(glide), true},
    {SpriteId::upwithpuck1, seen_as(stride_right, View::back, true), false},
    {SpriteId::upwithpuck3, seen_as(stride_left, View::back, true), false},
    {SpriteId::downwithpuck1, carrying(stride_right), false},
    {SpriteId::downwithpuck2, carrying(stride_both), false},
    {SpriteId::downwithpuck3, carrying(stride_left), false},
    {SpriteId::playeronedown, fallen, false},
    {SpriteId::playeronecheck, check, false},
};

// The puck from above: black, a grey rim catching the light at the top left and a small
// shine, all inside the 15 by 15 corner that is scaled down to the 9 by 9 puck on the ice.
Canvas draw_puck() {
  Canvas puck(16, 16, transparent);
  const Vec2 centre{7.5, 7.5};
  fill_ellipse(puck, centre, 7.5, 7.5, flat(puck_black));
  paint(puck, 0, 0, 15, 15, [&](int x, int y) {
    const Vec2 rel = Vec2{x + 0.5, y + 0.5} - centre;
    const double r = length(rel);
    const bool upper_left_rim = r > 4.8 && r <= 7.5 && rel.x + rel.y < -4.5;
    return upper_left_rim ? int{puck_grey} : -1;
  });
  fill_ellipse(puck, {4.8, 4.8}, 1.6, 1.3, flat(puck_shine));
  return puck;
}

}  // namespace

Canvas draw_sprite(SpriteId id) {
  switch (id) {
    case SpriteId::goalieleft1: return draw_goalie(true, false);
    case SpriteId::goalieleft2: return draw_goalie(true, true);
    case SpriteId::goalieright1: return draw_goalie(false, false);
    case SpriteId::goalieright2: return draw_goalie(false, true);
    case SpriteId::puck: return draw_puck();
    default: break;
  }
  for (const SkaterImage& image : skater_images) {
    if (image.id != id) continue;
    const Canvas right = draw_skater(image.pose);
    return image.facing_left ? mirrored(right, mirror_axis, transparent) : right;
  }
  return blank_figure();  // every skater image is in the table above
}

}  // namespace art
