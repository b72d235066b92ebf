// The scoreboard at the end of every frame, and the end of a match at 10 goals.

#include <cstdint>
#include <cstdio>

#include "cue_report.h"
#include "sim/rules.h"
#include "display/display_ops.h"
#include "sim/match.h"
#include "sim/stages.h"

namespace {
constexpr int score_line_y = 450;
constexpr int result_line_y = 463;
constexpr int player_column = 10;
constexpr int cpu_column = 300;

// What the scoreboard calls the second side, and how it tells the result.
struct ScoreTexts {
  const char* second_score;
  const char* first_won;
  const char* second_won;
};
constexpr ScoreTexts against_the_computer{"Computer Score: %d ", "You Win!!! Press N for new game",
                                          "Sorry, you lose. Press N for new game"};
constexpr ScoreTexts between_two_players{"Player Two Score: %d ", "Player One Wins!!! Press N for new game",
                                         "Player Two Wins!!! Press N for new game"};

// Writes one side's score; the trailing blank belongs to the text.
bool draw_score(Canvas& canvas, int x, ColorRef colour, const char* format, std::int32_t score) {
  char text[48];
  std::snprintf(text, sizeof text, format, static_cast<int>(score));
  return draw_text(canvas, x, score_line_y, colour, text);
}

// Player one's result is written first, so it also names the winner should both have 10.
CueWho match_winner(const MatchState& match) {
  if (has_won(match.player_score)) return CueWho::player_one;
  return has_won(match.cpu_score) ? CueWho::second_skater : CueWho::nobody;
}

// The result goes under the computer's score once a side has won.
bool draw_result_if_won(Canvas& canvas, std::int32_t score, const char* text) {
  return !has_won(score) || draw_text(canvas, cpu_column, result_line_y, colour_green, text);
}
}  // namespace

bool finish_frame(Match& match) {
  const ScoreTexts& texts = match.two_players ? between_two_players : against_the_computer;
  Canvas& canvas = match.canvas;
  if (!draw_score(canvas, player_column, colour_blue, "Player One Score: %d ", match.player_score)) return false;
  if (!draw_score(canvas, cpu_column, colour_red, texts.second_score, match.cpu_score)) return false;
  if (!draw_result_if_won(canvas, match.player_score, texts.first_won)) return false;
  if (!draw_result_if_won(canvas, match.cpu_score, texts.second_won)) return false;
  present_frame(canvas);
  const CueWho winner = match_winner(match);
  if (winner == CueWho::nobody) return true;
  report_cue(match, CueKind::match_won, winner);  // heard while the game waits
  wait_for(match, VK_N);
  return true;
}

bool new_match(Match& match) {
  // The next match starts from wherever everybody stands.
  match.player_score = 0;
  match.cpu_score = 0;
  report_cue(match, CueKind::new_match, CueWho::nobody);
  return true;
}
