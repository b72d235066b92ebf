#pragma once
// Records every display call as one line of text, in the replay's format:
// blit,NAME,X,Y  background  puck,X,Y  text,X,Y,RRGGBB,"TEXT"  present  message,"TEXT","CAPTION"

#include <string>
#include <vector>

#include "display/draw_observer.h"

class DrawLog : public DrawObserver {
 public:
  void on_background() override;
  void on_sprite(SpriteId id, int x, int y) override;
  void on_puck(int x, int y) override;
  void on_text(int x, int y, ColorRef colour, const char* text) override;
  void on_present() override;
  void on_message(const char* text, const char* caption) override;

  const std::vector<std::string>& lines() const { return lines_; }
  void clear() { lines_.clear(); }

 private:
  std::vector<std::string> lines_;
};
