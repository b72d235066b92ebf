#include "game_fixture.h"

#include "display/team_colours.h"
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

std::pair<int, int> team_pixels_shown(const platform::HeadlessBackend& backend, int x, int y) {
  std::pair<int, int> counts{0, 0};
  for (int row = y; row < y + 63; ++row) {
    for (int column = x; column < x + 63; ++column) {
      const int ink = backend.presented_pixels()[static_cast<std::size_t>(row) * 640 + column];
      counts.first += ink >= first_team_ink && ink < first_team_ink + team_ink_count;
      counts.second += ink >= second_team_ink && ink < second_team_ink + team_ink_count;
    }
  }
  return counts;
}
