#pragma once
// The waits in which the game stands still for the player, one routine each for every backend
// with a screen: a message box, and a window without the focus or hidden. They need of a backend
// only what PlayerScreen offers.

#include <cstdint>

#include "platform/key_latch.h"
#include "platform/message_box_picture.h"
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

// A message box over `last` (over black when nothing of the picture's size was shown yet),
// answered by the inputs it is handed: Return, Space, Escape or a left click on OK answer it, and
// so does the window going away; then `last` shows again. Mouse moves, other keys, a key's own
// repeat and the focus leave the box up. The key that answered never reaches the game: `keys`
// masks it until it is let go. A loop that waits (run_message_box) and a page whose own loop
// hands over each input as it comes share it.
class MessageBoxWait {
 public:
  // Shows the box; answered() is true at once when it cannot be shown.
  MessageBoxWait(PlayerScreen& screen, KeyLatch& keys, const TruePicture& last, const char* text,
                 const char* caption);
  // Takes one input; true once the box is answered.
  bool take(const InputEvent& input);
  bool answered() const { return answered_; }

 private:
  PlayerScreen& screen_;
  KeyLatch& keys_;
  const TruePicture& last_;
  MessageBoxPicture box_;
  bool answered_ = false;
};

// Shows the box and waits on the screen's inputs until it is answered.
void run_message_box(PlayerScreen& screen, KeyLatch& keys, const TruePicture& last, const char* text,
                     const char* caption);

// While the game's window has no focus or is hidden, or the player paused it (window_events.h),
// the game stands still, until it may go on or the session is over. The sound is held meanwhile.
// While the player's pause lasts, "Paused" shows over `last`; `last` shows again when it ends, and
// keys pressed before it ended never reach the game. Escape during the player's pause asks for the
// window to close, as during play. Like MessageBoxWait, it looks again at each input handed to it.
class PauseWait {
 public:
  PauseWait(PlayerScreen& screen, KeyLatch& keys, const TruePicture& last)
      : screen_(screen), keys_(keys), last_(last) {}
  // Whether the game must stand still now: then the sound is held until the pause is over.
  bool begin();
  // Takes one input (kind none: the time to look again has come); true once the pause is over.
  bool take(const InputEvent& input);

 private:
  void look();
  void end();

  PlayerScreen& screen_;
  KeyLatch& keys_;
  const TruePicture& last_;
  bool notice_shown_ = false;
  bool by_player_ = false;
};

// Stands still, asleep on the screen's inputs, while the game is paused.
void stand_still_while_paused(PlayerScreen& screen, KeyLatch& keys, const TruePicture& last);

}  // namespace platform
