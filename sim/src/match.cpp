#include "sim/match.h"

#include "sim/match_fields.h"

namespace {

struct Fnv1a {
  std::uint64_t value = 0xcbf29ce484222325u;
  void add(std::int64_t field) {
    for (int byte = 0; byte < 8; ++byte) {
      value ^= static_cast<std::uint64_t>(field >> (8 * byte)) & 0xFF;
      value *= 0x100000001b3u;
    }
  }
};

}  // namespace

void restore(Match& into, const Match& from) {
  const Canvas canvas = into.canvas;
  CueObserver* const cues = into.cues;
  into = from;
  into.canvas = canvas;
  into.cues = cues;
  copy_picture(into.canvas, from.canvas);
}

bool same_play(const Match& a, const Match& b) {
  return static_cast<const MatchState&>(a) == static_cast<const MatchState&>(b) && a.two_players == b.two_players &&
         a.player_two == b.player_two && a.player_draw_position == b.player_draw_position &&
         a.player_two_draw_position == b.player_two_draw_position && a.random == b.random &&
         a.progress == b.progress && a.keys == b.keys;
}

std::uint64_t play_hash(const Match& match) {
  Fnv1a hash;
#define ADD_FIELD(field) hash.add(match.field);
  MATCH_FIELDS(ADD_FIELD)
#undef ADD_FIELD
  const PlayerTwoState& two = match.player_two;
  for (const std::int64_t field : {std::int64_t{match.two_players}, std::int64_t{two.facing}, std::int64_t{two.shot_aim},
                                   std::int64_t{match.player_draw_position.x}, std::int64_t{match.player_draw_position.y},
                                   std::int64_t{match.player_two_draw_position.x},
                                   std::int64_t{match.player_two_draw_position.y}, std::int64_t{match.random.state},
                                   std::int64_t{match.progress.next_stage}, std::int64_t{match.progress.awaited_vk},
                                   std::int64_t{match.progress.puck_free}}) {
    hash.add(field);
  }
  return hash.value;
}
