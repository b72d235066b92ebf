#pragma once
// The one palette that every picture of the game carries: the rink file's colour table becomes
// the display palette, and the sprites are drawn with the same indices.

#include <array>
#include <cstdint>

#include "display/team_colours.h"

namespace art {

struct Rgb {
  std::uint8_t red;
  std::uint8_t green;
  std::uint8_t blue;
};

// Palette indices by what they paint. Entries not named here stay black and are never drawn.
enum Ink : std::uint8_t {
  black = 0,
  // Ice, from the brightest centre to the shade along the boards.
  ice_bright = 1,
  ice,
  ice_shade,
  ice_edge,
  // Boards and what lies outside the ice.
  kick_plate,
  kick_plate_dark,
  board,
  board_shade,
  board_cap,
  stands_dark,
  stands,
  stands_light,
  // Markings.
  line_red,
  line_red_dark,
  line_blue,
  crease_blue,
  crease_blue_light,
  // Nets.
  net_mesh,
  net_shadow,
  net_post,
  // Score band.
  band,
  // Figures: the outline around every figure and the shadow it casts on the ice.
  outline,
  figure_shadow,
  // Skaters: first their team's colours, which only skaters wear (the second skater is shown
  // with these moved to the second team's), then what both teams share.
  jersey_light,
  jersey,
  jersey_dark,
  trim_light,
  trim,
  trim_dark,
  helmet_light,
  helmet,
  helmet_dark,
  pants_light,
  pants,
  pants_dark,
  skin_light,
  skin,
  skin_dark,
  glove_light,
  glove,
  glove_dark,
  shaft_light,
  shaft,
  shaft_dark,
  tape,
  blade_tape,  // the white tape round the stick's blade, and its shade
  blade_tape_dark,
  skate_steel,
  skate_steel_dark,
  skate_boot,
  // Goalies.
  goalie_jersey_light,
  goalie_jersey,
  goalie_jersey_dark,
  pad_light,
  pad,
  pad_dark,
  mask_cage,
  // Puck.
  puck_black,
  puck_grey,
  puck_shine,
  // Contact sheet only: the checkerboard behind transparent pixels.
  checker_light,
  checker_dark,
  // The light plate behind player one's blue texts in the score band, and its rim.
  score_plate,
  score_plate_rim,
  ink_count,  // not a colour: the number of named entries above

  // Fixed entries.
  transparent = 117,  // the sprite colour key; never a visible colour
  // The second team's colours, in the order of the first team's; no picture uses them.
  second_jersey_light = second_team_ink,
  second_jersey,
  second_jersey_dark,
  second_trim_light,
  second_trim,
  second_trim_dark,
  second_helmet_light,
  second_helmet,
  second_helmet_dark,
  text_blue = 252,    // the game writes its texts in these exact colours
  text_red = 253,
  text_green = 254,
  white = 255,
};
static_assert(ink_count < transparent, "named inks must stay clear of the colour key");
static_assert(jersey_light == first_team_ink && helmet_dark == first_team_ink + team_ink_count - 1,
              "the team's colours lie where the display looks for them");
static_assert(second_helmet_dark == second_team_ink + team_ink_count - 1 && second_helmet_dark < text_blue,
              "the second team's colours lie together, clear of the text colours");

using Palette = std::array<Rgb, 256>;

const Palette& game_palette();

}  // namespace art
