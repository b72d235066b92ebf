#pragma once
// A started game over the SDL backend on SDL's dummy video driver with its software renderer:
// every flip converts, uploads and presents as on a desktop, with nothing on a screen.

#include "platform/sdl_backend.h"

// The desktop backend without its waits, so that frames run back to back: a frame's pause
// returns at once and a blocking wait gives up, as when a key script runs out.
class UnpausedScreen : public platform::SdlBackend {
 public:
  void sleep_ms(std::uint32_t) override {}
  bool idle_between_polls() override { return false; }
};

class ScreenGame {
 public:
  ScreenGame();
  ~ScreenGame();
  ScreenGame(const ScreenGame&) = delete;
  ScreenGame& operator=(const ScreenGame&) = delete;

  UnpausedScreen backend;
  bool started = false;
};
