#pragma once
// Online play: the two-player match with a friend on another machine, through rink-relay. One
// side makes a room and is player one; the other joins it by its code and is player two. Each
// side steps the shared match at a steady pace with rollback (rollback.h): its own keys act in
// the next pass, the other's are predicted and put right. Both sides write the same recording
// (both players' keys of each confirmed pass) and compare a digest of the match for every
// confirmed pass, so that two games that went apart stop at once, telling so.

#include <cstdint>
#include <memory>
#include <string>

#include "app/main_loop.h"
#include "net/relay_link.h"
#include "platform/key_script.h"
#include "platform/recording_file.h"

namespace platform {
class Overlay;
}

// A refusal of the relay as a player reads it, to finish "The relay ...".
const char* refusal_words(net::Refusal refusal);

// What this side is in its room: the player who made it (player one), the one who joined it
// (player two), or a spectator.
enum class OnlineRole { create, join, watch };

class OnlineGame : public MatchDriver {
 public:
  // Over LINK to the relay, makes a room, or joins or watches the room ROOM.
  OnlineGame(std::unique_ptr<net::RelayLink> link, OnlineRole role, const std::string& room = {});
  ~OnlineGame() override;

  enum class Seat { awaited, given, refused };
  // What the relay said of this side's seat so far; why() tells a refusal.
  Seat take_seat();
  // Waits, at most `seconds`, for the relay to give a seat; false with why() when it did not.
  bool wait_for_seat(int seconds);
  const std::string& code() const { return code_; }
  int seat() const { return seat_; }
  const std::string& why() const { return why_; }

  // What is shown over the picture (the room's code, the waits for the other player); null: nothing.
  void show_on(platform::Overlay* overlay) { overlay_ = overlay; }
  // Where both players' keys of every confirmed pass go; null: nowhere.
  void record_into(platform::RecordingFile* file, const char* name);
  // This side's player's keys from SCRIPT's lines, one a pass, instead of the keyboard; null: the keyboard.
  void play_script(platform::ScriptedKeys* script) { script_ = script; }
  // Whether a line of the recording could not be written.
  bool recording_failed() const { return recording_failed_; }
  // How many times a prediction of the other player's keys was put right, and the passes stepped again for it.
  int rollbacks() const { return rollbacks_; }
  long passes_stepped_again() const { return passes_stepped_again_; }
  // The passes this side has stepped.
  std::uint32_t passes() const { return passes_; }

  // Before a seat is given, shows that it is awaited; then one pass of the match at the game's
  // pace, the quit request letting the other player's keys of the passes stepped come in first.
  LoopRest pass(Match& match, LoopObserver* observer) override;
  // 1 or 2 once the relay has given the seat (0 watching); -1 before.
  int own_player() const override { return seated_ ? seat_ : -1; }

 private:
  class Side;
  class Play;
  class Watch;
  std::unique_ptr<Side> watch_side(Match& match, LoopObserver* observer);

  std::unique_ptr<net::RelayLink> link_;
  OnlineRole role_;
  std::unique_ptr<Side> play_;  // this side of the match once it has a seat
  std::string code_;
  int seat_ = 0;  // 1: player one, 2: player two, 0: a spectator
  bool seated_ = false;
  std::uint32_t kept_passes_ = 0;  // this seat's passes the room keeps: where a player who comes back goes on
  std::string why_;
  platform::Overlay* overlay_ = nullptr;
  bool connecting_shown_ = false;
  platform::RecordingFile* recording_ = nullptr;
  const char* recording_name_ = "";
  bool recording_failed_ = false;
  platform::ScriptedKeys* script_ = nullptr;
  int rollbacks_ = 0;
  long passes_stepped_again_ = 0;
  std::uint32_t passes_ = 0;
};
