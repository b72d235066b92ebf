#pragma once
// A started game over the SDL backend on SDL's dummy video driver with its software renderer:
// every flip converts, uploads and presents as on a desktop, with nothing on a screen.

#include "platform/sdl_backend.h"

class ScreenGame {
 public:
  ScreenGame();
  ~ScreenGame();
  ScreenGame(const ScreenGame&) = delete;
  ScreenGame& operator=(const ScreenGame&) = delete;

  platform::SdlBackend backend;
  bool started = false;
};
