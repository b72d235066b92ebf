#include "game_fixture.h"

#include "platform/backend.h"

void reset_game(platform::Backend& backend) {
  match = MatchState{};
  set_players(1);  // one player against the computer, player two's record afresh
  platform::testing::reset_random();
  platform::testing::reset_windows();
  platform::testing::clear_failures();
  platform::testing::set_extra_pitch(0);
  platform::use_backend(&backend);
  display = DisplayContext{};
}

HeadlessGame::HeadlessGame() {
  reset_game(backend);
  if (rink_startup() != 1) ADD_FAILURE() << "start-up failed at: " << startup_failed_step();
  backend.clear_messages();
  set_draw_observer(&log);
}

HeadlessGame::~HeadlessGame() {
  set_draw_observer(nullptr);
  platform::testing::clear_failures();
  rink_teardown();
  platform::use_backend(nullptr);
}

std::string blit_line(SpriteId id, int x, int y) {
  return "blit," + std::string(sprite_name(id)) + "," + std::to_string(x) + "," + std::to_string(y);
}

std::string puck_line(int x, int y) { return "puck," + std::to_string(x) + "," + std::to_string(y); }
