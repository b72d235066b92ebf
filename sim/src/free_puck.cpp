// The free puck: its flight off the boards and the goals' sides, goals, pick-ups and the
// goalies' save rolls.

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "cue_report.h"
#include "display/display_ops.h"
#include "sim/match.h"
#include "sim/rules.h"
#include "sim/stages.h"

namespace {
constexpr double bounce_factor = -0.25;  // a bounce turns the step back and keeps a quarter
constexpr double save_factor = -0.2;     // a save turns the puck back and keeps a fifth
constexpr int save_roll_range = 30;      // readiness of 30 or more saves every time
constexpr int shot_pace = 50;            // pixels a frame: a puck this fast hits at full strength

std::int32_t scaled(std::int32_t step, double factor) { return static_cast<std::int32_t>(step * factor); }

// A moving puck turned back is heard, as hard as it went into what turned it; a puck standing
// still turns nothing.
void report_turn(Match& match, CueKind kind, CueWho who, std::int32_t step_into) {
  if (step_into == 0) return;
  report_cue(match, kind, who, std::min(std::abs(step_into) * full_strength / shot_pace, full_strength));
}

// A step that would take the puck past the boards turns back.
void bounce_off_board(Match& match, std::int32_t position, std::int32_t& step, int low, int high) {
  const std::int32_t next = position + step;
  if (next >= low && next <= high) return;
  report_turn(match, CueKind::boards, CueWho::nobody, step);
  step = scaled(step, bounce_factor);
}

bool crosses_top_side(const Match& match) {
  return match.puck_y < goal_top_side && match.puck_y + match.puck_dy >= goal_top_side;
}
bool crosses_bottom_side(const Match& match) {
  return match.puck_y > goal_bottom_side && match.puck_y + match.puck_dy <= goal_bottom_side;
}

bool next_x_over(const Match& match, GoalSpan goal) {
  const std::int32_t next_x = match.puck_x + match.puck_dx;
  return goal.left < next_x && next_x < goal.right;
}

// The puck hits a goal's side with its vertical step.
void bounce_off_post(Match& match, CueWho goalie) {
  report_turn(match, CueKind::post, goalie, match.puck_dy);
  match.puck_dy = scaled(match.puck_dy, bounce_factor);
  match.puck_dx = scaled(match.puck_dx, bounce_factor);
}

void bounce_off_sides_of(Match& match, GoalSpan goal, CueWho goalie) {
  if (crosses_top_side(match) && next_x_over(match, goal)) bounce_off_post(match, goalie);
  if (crosses_bottom_side(match) && next_x_over(match, goal)) bounce_off_post(match, goalie);
}

// Left goal top and bottom, then right goal top and bottom; each test sees the step the
// previous one left.
void bounce_off_goal_sides(Match& match) {
  bounce_off_sides_of(match, left_goal, CueWho::left_goalie);
  bounce_off_sides_of(match, right_goal, CueWho::right_goalie);
}

// After the wait for D the goal counts and everybody faces off again.
bool count_goal(Match& match, std::int32_t& score) {
  ++score;
  face_off_reset(match);
  report_cue(match, CueKind::face_off, CueWho::nobody);
  return true;
}

// The blade of a skater whose image stands at (sx, sy): low in the image, right of its shoulder.
bool on_stick(const Match& match, std::int32_t sx, std::int32_t sy) {
  return sy + 35 < match.puck_y && match.puck_y < sy + 50 &&
         match.puck_x < sx + figure_size && match.puck_x + puck_size > sx + 20;
}

// A skater on its feet takes a puck at its blade; true when it did.
bool picked_up(const Match& match, std::int32_t sx, std::int32_t sy, std::int32_t down_timer, bool& taker,
               bool& other) {
  if (down_timer != 0 || !on_stick(match, sx, sy)) return false;
  taker = true;
  other = false;
  return true;
}

// A puck in front of a goalie: a roll against its readiness may turn it back, and the goalie
// stops following the shot either way. True when the puck was in front of it.
bool save_attempt(Match& match, std::int32_t gx, std::int32_t gy, std::int32_t readiness, bool& tracking,
                  CueWho goalie) {
  if (!in_save_zone(gx, gy, match.puck_x, match.puck_y)) return false;
  if (match.random.next() % save_roll_range < readiness) {
    report_turn(match, CueKind::save, goalie, match.puck_dx);
    match.puck_dx = scaled(match.puck_dx, save_factor);
  }
  tracking = false;
  return true;
}
}  // namespace

bool free_puck_flight(Match& match) {
  bounce_off_board(match, match.puck_x, match.puck_dx, board_left, board_right);
  bounce_off_board(match, match.puck_y, match.puck_dy, board_top, board_bottom);
  bounce_off_goal_sides(match);
  match.puck_x += match.puck_dx;
  match.puck_y += match.puck_dy;
  return blit_puck(match.canvas, match.puck_x, match.puck_y);
}

bool right_net(Match& match) {
  return !in_right_net(match.puck_x, match.puck_y) || goal_pause(match, CueWho::player_one);
}

// A face-off for a goal just counted leaves the puck outside the left net.
bool left_net(Match& match) {
  return !in_left_net(match.puck_x, match.puck_y) || goal_pause(match, CueWho::second_skater);
}

bool count_right_goal(Match& match) { return count_goal(match, match.player_score); }
bool count_left_goal(Match& match) { return count_goal(match, match.cpu_score); }

bool puck_taken_or_saved(Match& match) {
  // Player one wins a puck both skaters could reach.
  MatchState& m = match;
  if (picked_up(match, m.player_x, m.player_y, m.player_down_timer, m.player_has_puck, m.cpu_has_puck)) return true;
  if (picked_up(match, m.cpu_x, m.cpu_y, m.cpu_down_timer, m.cpu_has_puck, m.player_has_puck)) return true;

  if (save_attempt(match, m.lgoalie_x, m.lgoalie_y, m.lgoalie_readiness, m.lgoalie_tracking, CueWho::left_goalie)) {
    return true;
  }
  save_attempt(match, m.rgoalie_x, m.rgoalie_y, m.rgoalie_readiness, m.rgoalie_tracking, CueWho::right_goalie);
  return true;
}

bool goal_pause(Match& match, CueWho scorer) {
  if (!draw_text(match.canvas, 10, 465, colour_blue, "Press d to drop the puck")) return false;
  present_frame(match.canvas);
  report_cue(match, CueKind::goal, scorer);  // the horn sounds while the game waits
  wait_for(match, VK_D);
  return true;
}
