#pragma once
// The match as one value: everything a pass reads and writes, and the step that runs a pass.
// Whoever holds a Match holds the whole game; a copy stepped with the same keys gives the same
// fields and the same pictures, which is what rolling back and looking ahead stand on.

#include <cstdint>

#include "display/display_ops.h"
#include "sim/cues.h"
#include "sim/match_state.h"

// Where a skater is drawn in this frame: its position before this frame's move.
struct DrawPosition {
  int x;
  int y;
  bool operator==(const DrawPosition&) const = default;
};

// The keys of one pass, one set per player. Each player's set holds that player's own keys
// (player two's are the P2 ones); D, N and Escape count from either.
struct PassKeys {
  platform::KeySet player_one;
  platform::KeySet player_two;

  bool held(int vk) const { return player_one.count(vk) != 0 || player_two.count(vk) != 0; }
  bool operator==(const PassKeys&) const = default;
};

// The keys of one keyboard, or of a script's line, between the players; and back into one line.
PassKeys split_keys(const platform::KeySet& held);
platform::KeySet joined_keys(const PassKeys& keys);

// Where the frame in progress stands: a frame that reached one of the game's waits stops there
// and goes on from the next stage at the pass that brings the awaited key.
struct FrameProgress {
  int next_stage = 0;        // 0: the next pass starts a frame
  int awaited_vk = 0;        // D after a goal, N after a match; 0: not waiting
  bool puck_free = false;    // this frame moves the free puck (decided by player one's turn)
  bool operator==(const FrameProgress&) const = default;
};

struct Match : MatchState {
  bool two_players = false;  // player two skates the second skater; else the computer does
  PlayerTwoState player_two;
  DrawPosition player_draw_position{};
  DrawPosition player_two_draw_position{};  // taken when its turn comes, in a two-player match
  platform::Random random;                  // the game's one random sequence
  FrameProgress progress;
  PassKeys keys;                            // the keys of the pass being stepped
  Canvas canvas;                            // what the frame draws with; not part of the match's play
  CueObserver* cues = nullptr;              // hears the cues; null: nobody listens
};

// How a pass ended.
enum class PassEnd {
  frame_done,    // the frame ran to its end
  frame_failed,  // a draw failed and ended the frame early (a box may be asked for in the canvas)
  waiting,       // the frame waits for progress.awaited_vk
};

// The match at its start, for one or two players, drawing on `canvas`; `random` is the game's
// generator as start-up left it.
Match start_match(int players, const Canvas& canvas, platform::Random random);

// One pass: a frame from its start, or the waiting frame going on when the keys hold what it
// waits for (a pass that does not brings nothing new). The stages read only `keys`.
PassEnd step(Match& match, const PassKeys& keys);

// Whether the match waits inside a frame, and for which key (0: it does not).
inline int awaited_key(const Match& match) { return match.progress.awaited_vk; }

// No key can come any more (a played script has ended, the window is gone): the waiting frame
// goes on to its end as if the key had come, with the keys of the last pass.
PassEnd give_up_waiting(Match& match);

// Puts `from`'s play into `into`: every field, and the picture in `from`'s back buffer into
// `into`'s own. `into` keeps its canvas and its cue observer.
void restore(Match& into, const Match& from);

// Every field of the play equal, the canvas and the observer aside.
bool same_play(const Match& a, const Match& b);

// A digest of every field of the play (FNV-1a over their values in a fixed order): two machines
// whose matches went apart find out by comparing it.
std::uint64_t play_hash(const Match& match);

// The frames' pace: the game rests this long after each frame it finished.
constexpr int frame_pause_ms = 100;
