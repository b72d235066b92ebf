#include "body_check.h"

#include "cue_report.h"
#include "sim/match_state.h"

namespace {
constexpr std::int32_t contact_distance = 43;

std::int64_t squared_length(std::int64_t dx, std::int64_t dy) { return dx * dx + dy * dy; }
}  // namespace

bool skaters_in_contact() {
  return match.player_x < match.cpu_x + contact_distance && match.player_x + contact_distance > match.cpu_x &&
         match.player_y + contact_distance > match.cpu_y && match.player_y < match.cpu_y + contact_distance;
}

// Comparing squared lengths gives the same order as comparing the lengths.
bool checker_faster(std::int32_t checker_dx, std::int32_t checker_dy, std::int32_t carrier_dx,
                    std::int32_t carrier_dy) {
  return squared_length(checker_dx, checker_dy) > squared_length(carrier_dx, carrier_dy);
}

void knock_down(std::int32_t& down_timer, std::int32_t& stride, CueWho who) {
  down_timer = knock_down_frames;
  stride = 0;
  report_cue(CueKind::fall, who);
}
