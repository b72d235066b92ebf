#pragma once
// Watches every display operation a frame makes, in order (a canvas, or start-up's boxes): the
// replay tool prints them and the tests check them. Calls are reported before they are carried
// out, failed ones included.

#include "display/display_ops.h"

struct DrawObserver {
  virtual ~DrawObserver() = default;
  virtual void on_background() {}
  virtual void on_sprite(SpriteId /*id*/, int /*x*/, int /*y*/) {}
  virtual void on_puck(int /*x*/, int /*y*/) {}
  virtual void on_text(int /*x*/, int /*y*/, ColorRef /*colour*/, const char* /*text*/) {}
  virtual void on_present() {}
  virtual void on_message(const char* /*text*/, const char* /*caption*/) {}
};

