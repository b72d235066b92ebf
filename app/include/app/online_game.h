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
#include "net/relay_client.h"
#include "platform/recording_file.h"

namespace platform {
class Overlay;
}

class OnlineGame : public MatchDriver {
 public:
  // Connects to the relay and makes a room (an empty `room`) or joins one; the seat and the
  // room's code are known once ready() is true, or why not once failed() is.
  OnlineGame(const net::RelayAddress& relay, const std::string& room);
  ~OnlineGame() override;

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

  int run(Match& match, LoopObserver* observer) override;

 private:
  class Play;

  net::RelayClient client_;
  std::string code_;
  int seat_ = 0;
  std::string why_;
  platform::Overlay* overlay_ = nullptr;
  platform::RecordingFile* recording_ = nullptr;
  const char* recording_name_ = "";
  bool recording_failed_ = false;
  int rollbacks_ = 0;
};
