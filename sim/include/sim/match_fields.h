#pragma once
// The match state's fields in the order of the replay's record, for what prints, reads or
// hashes them: MATCH_FIELDS(F) expands F(name) once per field. PLAYER_TWO_FIELDS(F) does
// the same for player two's own record, which a two-player replay prints after them.

#define MATCH_FIELDS(F)                                                                              \
  F(player_x) F(player_y) F(cpu_x) F(cpu_y) F(lgoalie_x) F(lgoalie_y) F(rgoalie_x) F(rgoalie_y)      \
  F(player_dx) F(player_dy) F(accel_x) F(accel_y) F(player_facing) F(puck_dx) F(puck_dy) F(puck_x)   \
  F(puck_y) F(cpu_dx) F(cpu_dy) F(player_down_timer) F(cpu_down_timer) F(player_stride)             \
  F(cpu_stride) F(lgoalie_readiness) F(rgoalie_readiness) F(player_windup) F(cpu_windup)            \
  F(lgoalie_tracking) F(rgoalie_tracking) F(cpu_shot_ready) F(player_has_puck) F(cpu_has_puck)      \
  F(shot_aim) F(player_score) F(cpu_score)

#define PLAYER_TWO_FIELDS(F) F(facing) F(shot_aim)
