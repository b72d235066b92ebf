#pragma once
// What a frame gives to hear: the match reports each cue to its observer (Match::cues) at the
// moment it happens. The observer only listens; it must not change the match. Nothing is
// reported while the match has no observer.

#include <cstdint>

enum class CueKind : std::uint8_t {
  shot,       // a skater lets the puck go; strength from the wind-up
  boards,     // the moving puck turns off the boards; strength from its speed into them
  post,       // the moving puck turns off a goal's side; who is that goal's goalie
  save,       // a goalie's roll turns the moving puck back; strength from its speed
  fall,       // a body check knocks a skater down; who is the one who fell
  goal,       // who scored; reported before the game waits for D
  face_off,   // the puck dropped again, after the wait for D
  match_won,  // who won; reported before the game waits for N
  new_match,  // after the wait for N
};

// Who a cue is about. The second skater is the computer's in a one-player game.
enum class CueWho : std::uint8_t { nobody, player_one, second_skater, left_goalie, right_goalie };

// Cues that have no measure of their own carry full strength.
constexpr int full_strength = 100;

struct Cue {
  CueKind kind;
  CueWho who;
  int strength;  // 0 to full_strength
};

struct CueObserver {
  virtual ~CueObserver() = default;
  virtual void on_cue(const Cue& cue) = 0;
};

// Lower-case names for printing: "face_off", "second_skater".
const char* cue_kind_name(CueKind kind);
const char* cue_who_name(CueWho who);
