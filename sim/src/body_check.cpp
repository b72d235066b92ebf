#include "body_check.h"

#include "cue_report.h"
#include "sim/match_state.h"

bool skaters_in_contact() { return skaters_in_contact(match.player_x, match.player_y, match.cpu_x, match.cpu_y); }

void knock_down(std::int32_t& down_timer, std::int32_t& stride, CueWho who) {
  down_timer = knock_down_frames;
  stride = 0;
  report_cue(CueKind::fall, who);
}
