#include "sim/cues.h"

#include <algorithm>

#include "cue_report.h"

void report_cue(const Match& match, CueKind kind, CueWho who, int strength) {
  if (match.cues != nullptr) match.cues->on_cue(Cue{kind, who, strength});
}

int windup_strength(std::int32_t windup_frames) {
  // The longest wind-up is the scale of a shot's strength.
  return std::clamp(windup_frames * full_strength / windup_limit, 0, full_strength);
}

const char* cue_kind_name(CueKind kind) {
  switch (kind) {
    case CueKind::shot: return "shot";
    case CueKind::boards: return "boards";
    case CueKind::post: return "post";
    case CueKind::save: return "save";
    case CueKind::fall: return "fall";
    case CueKind::goal: return "goal";
    case CueKind::face_off: return "face_off";
    case CueKind::match_won: return "match_won";
    case CueKind::new_match: return "new_match";
  }
  return "unknown";
}

const char* cue_who_name(CueWho who) {
  switch (who) {
    case CueWho::nobody: return "nobody";
    case CueWho::player_one: return "player_one";
    case CueWho::second_skater: return "second_skater";
    case CueWho::left_goalie: return "left_goalie";
    case CueWho::right_goalie: return "right_goalie";
  }
  return "unknown";
}
