#pragma once
// What a player's side and a spectator's side of an online match share: the window's messages,
// the banners over the picture, the game's pace, the recording and the end.

#include <chrono>
#include <optional>
#include <string>

#include "app/online_game.h"

class PassHistory;

class OnlineGame::Side {
 public:
  Side(OnlineGame& game, Match& match, LoopObserver* observer) : game_(game), match_(match), observer_(observer) {}
  virtual ~Side() = default;
  Side(const Side&) = delete;
  Side& operator=(const Side&) = delete;

  // One pass of the loop; what comes before the next.
  virtual LoopRest pass() = 0;

 protected:
  using Clock = std::chrono::steady_clock;

  // Handles the next window message, if any; the exit code when it asks the game to quit.
  std::optional<int> take_window_message();
  // The banner over the picture (empty: none); shown over the last picture at once.
  void tell(const char* text);
  // The rest before the next pass: a steady pace, which a side that fell behind does not rush.
  LoopRest pace();
  // A confirmed pass's keys of both players into the recording, if there is one.
  void record(const platform::KeySet& keys);
  // Steps the passes FROM to TO (not included) of HISTORY unheard and unshown, recording them; TO.
  std::uint32_t catch_up(const PassHistory& history, std::uint32_t from, std::uint32_t to);
  // Ends the match, telling why on standard error and in a box; the window then closes.
  LoopRest end(const std::string& why);
  net::RelayLink& link() { return *game_.link_; }

  OnlineGame& game_;
  Match& match_;
  LoopObserver* observer_;

 private:
  std::string told_;
  Clock::time_point next_pass_ = Clock::now();
};
