#include "palette.h"

#include <utility>

namespace art {
namespace {

constexpr std::pair<Ink, Rgb> named_colours[] = {
    {black, {0, 0, 0}},
    {ice_bright, {247, 250, 253}},
    {ice, {236, 243, 249}},
    {ice_shade, {222, 233, 243}},
    {ice_edge, {196, 211, 226}},
    {kick_plate, {236, 196, 44}},
    {kick_plate_dark, {176, 140, 24}},
    {board, {244, 244, 240}},
    {board_shade, {196, 200, 206}},
    {board_cap, {26, 52, 120}},
    {stands_dark, {14, 18, 32}},
    {stands, {30, 38, 62}},
    {stands_light, {52, 64, 98}},
    {line_red, {214, 28, 40}},
    {line_red_dark, {150, 14, 26}},
    {line_blue, {28, 74, 196}},
    {crease_blue, {146, 198, 240}},
    {crease_blue_light, {176, 216, 246}},
    {net_mesh, {178, 186, 198}},
    {net_shadow, {208, 218, 230}},
    {net_post, {200, 20, 30}},
    {band, {12, 14, 22}},
    {outline, {22, 20, 30}},
    {figure_shadow, {184, 198, 214}},
    // Player one's team: orange with white trim and a dark helmet.
    {jersey_light, {255, 170, 60}},
    {jersey, {242, 118, 12}},
    {jersey_dark, {178, 70, 6}},
    {trim_light, {255, 255, 255}},
    {trim, {232, 232, 236}},
    {trim_dark, {176, 180, 192}},
    {helmet_light, {96, 104, 128}},
    {helmet, {44, 48, 64}},
    {helmet_dark, {26, 28, 40}},
    {pants_light, {78, 84, 104}},
    {pants, {40, 42, 56}},
    {pants_dark, {24, 24, 34}},
    {skin_light, {250, 206, 170}},
    {skin, {228, 168, 126}},
    {skin_dark, {178, 118, 86}},
    {glove_light, {120, 70, 30}},
    {glove, {84, 48, 22}},
    {glove_dark, {52, 30, 14}},
    {shaft_light, {236, 204, 148}},
    {shaft, {204, 160, 96}},
    {shaft_dark, {150, 108, 56}},
    {tape, {30, 30, 36}},
    {blade_tape, {232, 232, 236}},
    {blade_tape_dark, {176, 180, 192}},
    {skate_steel, {214, 222, 232}},
    {skate_steel_dark, {176, 180, 192}},
    {skate_boot, {34, 34, 40}},
    {goalie_jersey_light, {90, 190, 120}},
    {goalie_jersey, {24, 140, 70}},
    {goalie_jersey_dark, {10, 90, 44}},
    {pad_light, {255, 255, 255}},
    {pad, {230, 234, 240}},
    {pad_dark, {168, 176, 190}},
    {mask_cage, {70, 74, 86}},
    {puck_black, {8, 8, 10}},
    {puck_grey, {70, 72, 78}},
    {puck_shine, {150, 154, 162}},
    {checker_light, {150, 150, 150}},
    {checker_dark, {118, 118, 118}},
    {score_plate, {220, 228, 240}},
    {score_plate_rim, {28, 74, 196}},
    {transparent, {255, 0, 255}},
    // The second team: a deep red with cream trim and a white helmet, darker than player one's
    // orange, so that the two teams differ in lightness as well as in hue.
    {second_jersey_light, {222, 50, 70}},
    {second_jersey, {178, 22, 40}},
    {second_jersey_dark, {112, 8, 24}},
    {second_trim_light, {255, 250, 226}},
    {second_trim, {250, 236, 190}},
    {second_trim_dark, {200, 180, 130}},
    {second_helmet_light, {255, 255, 255}},
    {second_helmet, {226, 228, 234}},
    {second_helmet_dark, {160, 164, 178}},
    {text_blue, {0, 0, 255}},
    {text_red, {255, 0, 0}},
    {text_green, {0, 255, 0}},
    {white, {255, 255, 255}},
};
static_assert(std::size(named_colours) == ink_count + 5 + team_ink_count, "every named ink has a colour");

Palette build_palette() {
  Palette palette{};  // unnamed entries stay black
  for (const auto& [ink, rgb] : named_colours) palette[ink] = rgb;
  return palette;
}

}  // namespace

const Palette& game_palette() {
  static const Palette palette = build_palette();
  return palette;
}

}  // namespace art
