#pragma once
// A player's skater seen from its own end of the rink. Player one's rules (skating, shot, body
// check) are written once, for a skater that attacks the right-hand goal; player two runs the
// same rules on the second skater, mirrored left to right, with its own keys.

#include <cstdint>

#include "display/sprites.h"
#include "sim/cues.h"
#include "sim/match.h"

// Turns what player one's rules see into what one side of the rink holds, and back: the
// mirrored side swaps left and right in positions, steps, keys, facings and images. Every
// mapping is its own inverse.
struct Side {
  bool mirrored;

  std::int32_t skater_x(std::int32_t x) const;  // a skater's corner x
  std::int32_t puck_x(std::int32_t x) const;    // the puck's corner x
  std::int32_t step(std::int32_t dx) const;     // a horizontal step
  int key(int vk) const;                        // player one's key, as this player's key
  std::int32_t facing(std::int32_t facing) const;
  SpriteId image(SpriteId id) const;
};

// One skater's fields in the match, as they stand on the rink.
struct SkaterFields {
  std::int32_t& x;
  std::int32_t& y;
  std::int32_t& dx;
  std::int32_t& dy;
  std::int32_t& down_timer;
  std::int32_t& stride;
  std::int32_t& windup;
  bool& has_puck;
  CueWho who;
};

SkaterFields player_one_fields(MatchState& match);
SkaterFields second_skater_fields(MatchState& match);

// A player's skater, its opponent and the goalie it shoots at, with accessors in the player's
// own direction sense. Heights are the same from either end and are read as they stand.
struct SkaterOnSide {
  Match& match;
  Side side;
  SkaterFields own;
  SkaterFields opponent;
  std::int32_t& facing_field;
  std::int16_t& shot_aim;
  bool& goalie_tracking;        // the goalie of the goal this player attacks
  DrawPosition drawn_at;  // where the skater stood when the frame began
  bool (*blit)(Canvas& canvas, SpriteId id, int x, int y);

  std::int32_t x() const { return side.skater_x(own.x); }
  void set_x(std::int32_t x) const { own.x = side.skater_x(x); }
  void set_step(std::int32_t dx, std::int32_t dy) const;
  std::int32_t facing() const { return side.facing(facing_field); }
  void set_facing(std::int32_t facing) const { facing_field = side.facing(facing); }
  bool key_down(int vk) const { return match.keys.held(side.key(vk)); }
  bool draw(SpriteId image) const { return blit(match.canvas, side.image(image), drawn_at.x, drawn_at.y); }
};

// Player one on the player_* fields.
SkaterOnSide player_one_side(Match& match);
// Player two on the second skater's fields, mirrored.
SkaterOnSide player_two_side(Match& match);
