#pragma once
// A started game over the headless backend, for tests and benchmarks.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "display/display_ops.h"
#include "display/draw_observer.h"
#include "display/startup.h"
#include "draw_log.h"
#include "app/main_loop.h"
#include "platform/headless.h"
#include "platform/testing.h"
#include "player_stages.h"
#include "sim/match.h"
#include "sim/stages.h"

// No planned failures, no windows, no wider pitch, and `backend` for every platform call.
void reset_game(platform::Backend& backend);

// Sets up a fresh game: no planned failures, the headless backend, the real start-up with the
// build's bitmaps, and a match at its start (for PLAYERS) drawing on the display. Start-up
// messages and draws are forgotten; from then on every display call is logged.
class HeadlessGame {
 public:
  explicit HeadlessGame(int players = 1);
  ~HeadlessGame();
  HeadlessGame(const HeadlessGame&) = delete;
  HeadlessGame& operator=(const HeadlessGame&) = delete;

  platform::HeadlessBackend backend;
  DrawLog log;
  DisplayContext display;
  Match match;
};

class GameTest : public ::testing::Test {
 protected:
  // Keys held from now on, by the backend and in the match for the stages.
  void hold(const platform::KeySet& keys) {
    game_.backend.hold_keys(keys);
    match.keys = split_keys(keys);
  }
  void release_keys() { hold({}); }
  // A two-player match from its start, with the same display.
  void play_two() { match = start_match(2, match.canvas, match.random); }
  // Lines of keys that blocking waits (and main-loop passes) take in turn.
  void script(std::vector<platform::KeySet> lines) { game_.backend.load_script(std::move(lines)); }

  // Every display call made since the last clear, in the replay's line format.
  const std::vector<std::string>& draws() const { return game_.log.lines(); }
  void clear_draws() { game_.log.clear(); }
  // Every box shown, the one a stage just asked for included (the main loop shows it after the pass).
  const std::vector<platform::RecordedMessage>& messages() {
    show_asked_message(game_.match.canvas);
    return game_.backend.messages();
  }

  // Make every draw of one picture fail from now on, in either team's colours.
  void fail_sprite(SpriteId id) {
    const DisplayContext& display = game_.display;
    platform::testing::fail_blits_from(display.sprites[sprite_index(id)]);
    platform::testing::fail_blits_from(display.second_team[sprite_index(id)]);
  }
  void fail_background() { platform::testing::fail_blits_from(game_.display.rink); }
  // Refuse the next device context requests.
  void fail_text(int times = 1) { platform::testing::fail_call(platform::testing::Call::get_dc, 1, times); }

  platform::HeadlessBackend& backend() { return game_.backend; }

 private:
  HeadlessGame game_;

 protected:
  Match& match = game_.match;
  DisplayContext& display = game_.display;
};

// Shorthand for the log line of a sprite draw: "blit,NAME,X,Y".
std::string blit_line(SpriteId id, int x, int y);
std::string puck_line(int x, int y);

// How many pixels of the presented picture's 63 by 63 box at (x, y) show the first team's
// colours, and how many the second team's.
std::pair<int, int> team_pixels_shown(const platform::HeadlessBackend& backend, int x, int y);
