#pragma once
// The game's twin, run headless in the test beside the real one: it takes the keys the real game
// read from the script the real game records while it plays (a line the moment a pass has read
// its keys), so after each frame it knows the match exactly as the real game has it, however
// late the test's own keys came.

#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <optional>
#include <thread>

#include "process.h"
#include "sim/match.h"

namespace e2e {

class ShadowGame {
 public:
  // What the twin knows after its latest frame.
  struct View {
    int frames = 0;        // frames finished
    bool waiting = false;  // inside a wait for D or N, for a line that holds its key
    MatchState match;
    PlayerTwoState player_two;
  };

  // Follows the recording the real game of `players` writes at `script`.
  explicit ShadowGame(std::filesystem::path script, int players = 1);
  ~ShadowGame();
  ShadowGame(const ShadowGame&) = delete;
  ShadowGame& operator=(const ShadowGame&) = delete;

  // The view once the twin has finished more than `frames` frames or waits for a key; nothing
  // when neither happens within `limit`.
  std::optional<View> next(int frames, Milliseconds limit);

 private:
  class GrowingScript;
  class Watcher;
  const Match* match_ = nullptr;  // the shadow's, while it runs

  void run();
  void publish(bool waiting);

  std::filesystem::path script_;
  int players_;
  std::mutex lock_;
  std::condition_variable changed_;
  View view_;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace e2e
