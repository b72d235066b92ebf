#pragma once
// The waits in which the game stands still for the player, one routine each for every backend
// with a screen: a message box, and a window without the focus or hidden. They need of a backend
// only what PlayerScreen offers.

#include <cstdint>

#include "platform/key_latch.h"
#include "platform/picture.h"

namespace platform {

// One input as a backend with a screen reports it to a wait.
struct InputEvent {
  enum class Kind { none, key_down, click, window_gone };
  Kind kind = Kind::none;  // none: the time was up, or something came that is no input
  int vk = 0;              // key_down: the game's key code
  bool repeat = false;     // key_down: the key's own repeat while held
  int x = 0;               // click (left button): where, in the picture
  int y = 0;
};

class PlayerScreen {
 public:
  // Shows a picture of 0x00RRGGBB pixels; false when it cannot be shown.
  virtual bool show_picture(const std::uint32_t* pixels, int width, int height) = 0;
  // Waits up to `milliseconds` for the next input and takes it. Whatever else comes meanwhile
  // (a close request, an expose, the focus) the backend follows and reports as it always does.
  virtual InputEvent next_input(int milliseconds) = 0;

 protected:
  ~PlayerScreen() = default;
};

// Shows the box over `last` (over black when nothing of the picture's size was shown yet) until
// Return, Space, Escape or a left click on OK answers it, or the window goes away; then shows
// `last` again. Mouse moves, other keys, a key's own repeat and the focus leave the box up. The
// key that answered never reaches the game: `keys` masks it until it is let go.
void run_message_box(PlayerScreen& screen, KeyLatch& keys, const TruePicture& last, const char* text,
                     const char* caption);

// While the game's window has no focus or is hidden, or the player paused it (window_events.h),
// the game stands still here, asleep on the screen's inputs, until it may go on or the session
// is over. The sound is held meanwhile. While the player's pause lasts, "Paused" shows over
// `last`; `last` shows again when it ends, and keys pressed before it ended never reach the
// game. Escape during the player's pause asks for the window to close, as during play.
void stand_still_while_paused(PlayerScreen& screen, KeyLatch& keys, const TruePicture& last);

}  // namespace platform
