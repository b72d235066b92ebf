#include "game_fixture.h"

#include "display/team_colours.h"
#include "platform/backend.h"

void reset_game(platform::Backend& backend) {
  platform::testing::reset_windows();
  platform::testing::clear_failures();
  platform::testing::set_extra_pitch(0);
  platform::use_backend(&backend);
}

HeadlessGame::HeadlessGame(int players) {
  reset_game(backend);
  platform::Random random;
  if (rink_startup(display, random) != 1) ADD_FAILURE() << "start-up failed at: " << display.failed_step;
  backend.clear_messages();
  match = start_match(players, canvas_of(display, &log), random);
}

HeadlessGame::~HeadlessGame() {
  platform::testing::clear_failures();
  release_text(match.canvas);
  rink_teardown(display);
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
