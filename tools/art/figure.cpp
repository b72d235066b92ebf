#include "figure.h"

#include <algorithm>
#include <cmath>

namespace art {
namespace {

constexpr double upper_arm = 8.5;
constexpr double forearm = 8.5;

// The elbow of an arm reaching from `shoulder` to `hand`, on the side of `elbow_side`, or
// halfway along when the arm is stretched.
Vec2 elbow_for(Vec2 shoulder, Vec2 hand, Vec2 elbow_side) {
  const Vec2 span = hand - shoulder;
  const double reach = length(span);
  if (reach >= upper_arm + forearm - 0.01 || reach < 1e-6) {
    return lerp(shoulder, hand, upper_arm / (upper_arm + forearm));
  }
  const double along = (upper_arm * upper_arm - forearm * forearm + reach * reach) / (2 * reach);
  const double out = std::sqrt(std::max(upper_arm * upper_arm - along * along, 0.0));
  const Vec2 axis = span * (1 / reach);
  Vec2 bend = rotated(axis, 90);
  if (bend.x * elbow_side.x + bend.y * elbow_side.y < 0) bend = bend * -1;
  return shoulder + axis * along + bend * out;
}

}  // namespace

Canvas blank_figure() { return Canvas(figure_size, figure_size, transparent); }

Tone side_tone(const Tone& tone, bool far) { return far ? Tone{tone.base, tone.dark, tone.dark} : tone; }

void draw_skate(Canvas& canvas, Vec2 ankle, Vec2 forward, double length, bool far) {
  const Vec2 down{0, 1};
  const double stretch = std::max(length, 0.25);
  const Tone boot = far ? flat(skate_boot) : Tone{pants_light, skate_boot, skate_boot};
  const Vec2 heel = ankle + forward * (-2.0 * stretch) + down * 1.2;
  const Vec2 toe = ankle + forward * (5.0 * stretch) + down * 1.6;
  fill_limb(canvas, {heel, toe, 2.3, 2.0}, boot);
  // The steel runs along the ice under the boot, a little longer than it.
  constexpr double steel = 0.6;
  const Vec2 steel_heel = ankle + forward * (-3.5 * stretch) + down * (ankle_height - steel);
  const Vec2 steel_toe = ankle + forward * (7.0 * stretch) + down * (ankle_height - steel);
  fill_limb(canvas, {steel_heel, steel_toe, steel, steel}, flat(far ? skate_steel_dark : skate_steel));
}

void draw_arm(Canvas& canvas, Vec2 shoulder, Vec2 hand, const ArmStyle& style, Vec2 elbow_side) {
  const Vec2 elbow = elbow_for(shoulder, hand, elbow_side);
  if (style.contour) {
    const double edge = style.thickness + 1.0;
    fill_limb(canvas, {shoulder, elbow, edge + 0.4, edge}, flat(outline), 0.3, 1.0);
    fill_limb(canvas, {elbow, hand, edge, edge}, flat(outline));
    fill_ellipse(canvas, hand, style.glove_size + 1.0, style.glove_size + 1.0, flat(outline));
  }
  fill_limb(canvas, {shoulder, elbow, style.thickness + 0.4, style.thickness}, style.sleeve);
  const Limb lower{elbow, hand, style.thickness, style.thickness - 0.3};
  fill_limb(canvas, lower, style.sleeve);
  fill_limb(canvas, lower, style.stripe, 0.15, 0.4);
  fill_ellipse(canvas, hand, style.glove_size, style.glove_size, style.glove);
}

Vec2 stick_point(const Stick& stick, double along) {
  return stick.heel - direction(stick.reach) * (stick_length * stick.length * along);
}

Stick stick_held_at(Vec2 grip, double reach, double length) {
  return {grip + direction(reach) * (stick_length * length * 0.92), reach, length};
}

void draw_stick(Canvas& canvas, const Stick& stick, bool far) {
  const Vec2 butt = stick_point(stick, 1.0);
  fill_limb(canvas, {butt, stick.heel, 1.0, 0.9}, side_tone(shaft_tone, far));
  fill_limb(canvas, {butt, stick.heel, 1.1, 1.1}, flat(tape), 0.0, 0.07);  // the taped knob
  // The blade leaves the shaft at the lie of a hockey stick, wrapped in white tape.
  const Vec2 blade = rotated(direction(stick.reach), 90 - stick_rest_reach);
  fill_limb(canvas, {stick.heel + blade * -0.5, stick.heel + blade * 7.0, 1.3, 1.1},
            side_tone({white, blade_tape, blade_tape_dark}, far));
}

void draw_puck_on_ice(Canvas& canvas, double left) {
  const Vec2 centre{left + 4.5, ground_y - 2.5};
  fill_ellipse(canvas, centre, 4.5, 2.5, flat(puck_black));
  fill_ellipse(canvas, centre + Vec2{0, -1.0}, 3.6, 1.3, flat(puck_grey));
  canvas.plot(static_cast<int>(centre.x) - 2, static_cast<int>(centre.y) - 2, puck_shine);
}

void finish_figure(Canvas& canvas, double x0, double x1) {
  outline_figures(canvas, transparent, outline);
  // A soft shadow on the ice under the skates, only where nothing of the figure lies.
  const Vec2 centre{(x0 + x1) / 2, ground_y + 1.5};
  paint(canvas, static_cast<int>(x0) - 1, static_cast<int>(ground_y) - 2, static_cast<int>(x1) + 2,
        static_cast<int>(ground_y) + 4, [&](int x, int y) {
          const double u = (x + 0.5 - centre.x) / ((x1 - x0) / 2 + 1);
          const double v = (y + 0.5 - centre.y) / 2.5;
          return u * u + v * v <= 1.0 && canvas.at(x, y) == transparent ? int{figure_shadow} : -1;
        });
  fill_pinholes(canvas, transparent, figure_shadow);  // where the shadow's edge meets a skate
}

}  // namespace art
