#pragma once
// The boards, as limits for a top-left corner: the free puck bounces and the computer skater
// turns round when its next corner would leave x 20..620 or y 40..440.

constexpr int board_left = 20;
constexpr int board_right = 620;
constexpr int board_top = 40;
constexpr int board_bottom = 440;
