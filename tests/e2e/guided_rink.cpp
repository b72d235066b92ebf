// The game as the desktop program plays it, with what it tells over its pictures: the SDL
// backend's overlay given to the game's guide. "--no-hints" leaves the start's hints out,
// "--players 2" plays two players. The end-to-end tests start it on their X screen; the start's
// hints stay a minute unless a key comes, so that a loaded machine cannot time them out first.

#include <cstring>

#include "app/main_loop.h"
#include "platform/sdl_backend.h"

int main(int argc, char** argv) {
  bool hints = true;
  int players = 1;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--no-hints") == 0) hints = false;
    if (std::strcmp(argv[i], "--players") == 0 && i + 1 < argc) players = argv[++i][0] == '2' ? 2 : 1;
  }
  platform::SdlBackend screen({.players = players});
  return play_game(players, screen, screen.sound(), {&screen.overlay(), hints, true, std::chrono::minutes(1)});
}
