#pragma once
// The palette entries that make a skater's team colours. Every skater picture is drawn in the
// first team's; the second skater is shown from copies in which these entries are moved to the
// second team's, which no picture uses itself. A replaced bitmap without them keeps its colours.

#include <cstdint>

// The jersey (socks and sleeves too), its trim and the helmet, each light, base and dark, in
// consecutive entries.
constexpr int team_ink_count = 9;
constexpr int first_team_ink = 24;
constexpr int second_team_ink = 240;

// What a second-team copy shows where the shared picture has `ink`.
constexpr std::uint8_t in_second_team_colours(std::uint8_t ink) {
  const bool team_colour = ink >= first_team_ink && ink < first_team_ink + team_ink_count;
  return team_colour ? static_cast<std::uint8_t>(ink - first_team_ink + second_team_ink) : ink;
}
