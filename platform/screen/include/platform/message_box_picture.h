#pragma once
// The game's message box, drawn by the game itself over its picture: a caption bar, the text in
// the game's own font and an OK button. Every backend with a screen shows its boxes this way,
// so a box looks the same on X11 (with or without core fonts), on Wayland and in a browser.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/picture.h"
#include "platform/result.h"

namespace platform {

class MessageBoxPicture {
 public:
  // Lays the box out in the middle of a picture of this size; long texts wrap at blanks.
  MessageBoxPicture(const char* text, const char* caption, int picture_width, int picture_height);

  // Draws the box over a 0x00RRGGBB picture of the size given above, rows `width` apart.
  void draw_over(std::uint32_t* picture) const;
  // What the screen shows while the box waits: the box over the last picture shown, or over
  // black when none of this size was shown yet.
  std::vector<std::uint32_t> over(const TruePicture& last) const;
  // Return, Space and Escape answer a box (the game's key codes), as does a click on OK.
  static bool answered_by(int vk);
  // Whether a point of the picture lies on the OK button.
  bool on_ok_button(int x, int y) const;

  const Rect& frame() const { return frame_; }
  const Rect& ok_button() const { return ok_button_; }

 private:
  int width_;
  int height_;
  std::string caption_;
  std::vector<std::string> lines_;
  Rect frame_{};
  Rect title_bar_{};
  Rect ok_button_{};
};

}  // namespace platform
