#pragma once
// Online play: the two-player match with a friend on another machine, through rink-relay. One
// side makes a room and is player one; the other joins it by its code and is player two. Each
// side steps the shared match at a steady pace with rollback (rollback.h): its own keys act in
// the next pass, the other's are predicted and put right. Both sides write the same recording
// (both players' keys of each confirmed pass) and compare a digest of the match for every
// confirmed pass, so that two games that went apart stop at once, telling so.

#include <memory>
#include <string>

#include "app/main_loop.h"
#include "net/relay_link.h"
#include "platform/recording_file.h"

namespace platform {
class Overlay;
}

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
  // Whether a line of the recording could not be written.
  bool recording_failed() const { return recording_failed_; }
  int rollbacks() const { return rollbacks_; }

  // Before a seat is given, shows that it is awaited; then one pass of the match at the game's
  // pace, the quit request letting the other player's keys of the passes stepped come in first.
  LoopRest pass(Match& match, LoopObserver* observer) override;

 private:
  class Play;

  std::unique_ptr<net::RelayLink> link_;
  std::unique_ptr<Play> play_;
  std::string code_;
  int seat_ = 0;
  std::string why_;
  platform::Overlay* overlay_ = nullptr;
  platform::RecordingFile* recording_ = nullptr;
  const char* recording_name_ = "";
  bool recording_failed_ = false;
  int rollbacks_ = 0;
};
