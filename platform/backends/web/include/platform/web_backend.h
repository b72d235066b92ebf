#pragma once
// The browser backend.
// Runs on: a web page, as WebAssembly through Emscripten's HTML5 API: the picture in the page's
//   canvas through the same palette conversion as the desktop, the keys from the page's keyboard
//   events, the game's own message boxes drawn over the picture. The browser's own loop runs the
//   game a pass at a time (run): nothing blocks, the frames' pace is the delay before the next
//   pass, and a wait, a box or a pause rests until an input comes, so a waiting page uses next to
//   no processor time.
//   Game controllers through the Gamepad API (web_pads.h) and the page's touch controls hold
//   game keys beside the keyboard. The page reads window.rinkStatus = {frames, state, awaits,
//   reason}. M mutes the sound (web_audio.h), P pauses.
// Cannot: close its tab (the game ends, the page stays and says why).
// Depends on: platform core, screen (picture, shared waits, key latch, input mapping), session
//   (a key script named by the page's address), Emscripten; the page (index.html, rink-page.js,
//   rink-controls.js).

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/backend.h"
#include "platform/key_latch.h"
#include "platform/key_sessions.h"
#include "platform/keys.h"
#include "platform/modal_waits.h"
#include "platform/overlay.h"
#include "platform/page_screen.h"
#include "platform/picture.h"
#include "platform/web_pads.h"

namespace platform {

// What the game asks of the page's loop after a pass.
struct NextPass {
  enum class After {
    now,            // the next pass comes in the browser's next task
    pace,           // after `value` milliseconds (none in a fast script's play)
    input_or_idle,  // a wait for the key `value` (D or N): when an input comes, or after a while
    end,            // no pass comes any more: the game ends once every box was answered
  };
  After after = After::now;
  int value = 0;
};

// The game as the page's loop runs it.
class PageGame {
 public:
  virtual NextPass pass() = 0;
  // The game's end; it may take the backend with it: the loop touches nothing after this call.
  virtual void end() = 0;

 protected:
  ~PageGame() = default;
};

class WebBackend : public Backend, public PlayerScreen {
 public:
  WebBackend() = default;
  ~WebBackend() override;  // the page's status becomes "ended"
  WebBackend(const WebBackend&) = delete;
  WebBackend& operator=(const WebBackend&) = delete;

  // Reads the page's address: ?players=2 starts a two-player game (1, the default, a
  // one-player one), ?play=FILE names a key script (`script`) for the game to play instead of
  // the keyboard, with the players it names unless ?players= says, &fast=1 leaves out the pause
  // between its frames, and &takeover=1 lets the player play on where the script ends
  // (`at_end`), and ?hints=0 leaves out the first match's hints and the goal banners
  // (`hints()`). False with last_error set when an option is wrong.
  bool load_page_options(std::optional<std::string>& script, ScriptEnd& at_end);
  // The key script named NAME as fetch_key_script (web_script.h) read it: false with last_error
  // set when it could not be had or read, or names other players than asked.
  bool accept_script(const std::string& name, const LoadedScript& script);
  // Runs the game's passes from the browser's loop, the first in the browser's next task, until
  // one says end; a box the game asked for and the pause are states of that loop.
  void run(PageGame& game);
  // The players of the game, once the page's options are read: how the keyboard and the
  // controllers are shared.
  int players() const { return players_; }
  bool hints() const { return hints_; }
  // What is drawn over every picture the page shows (overlay.h); empty unless the game sets it.
  Overlay& overlay() { return shown_picture_.overlay(); }
  // Why the game ended, for the page to say once the backend goes.
  void report_end(const char* reason);

  bool open_window() override;
  void close_window() override;
  bool set_display_mode(int width, int height, int bits_per_pixel) override;
  bool present(const std::uint8_t* pixels, int width, int height, int pitch, const PaletteEntry* palette,
               const ChangedArea& changed) override;
  void pump_events() override;
  bool key_held(int vk) override;
  // Shows the box over the picture before the next pass, until it is answered.
  void message_box(const char* text, const char* caption) override;
  void cursor_visible(bool visible) override;
  // The page's loop keeps the pace between passes (run): nothing sleeps here.
  void sleep_ms(std::uint32_t milliseconds) override;
  // A poll of a wait: the page's loop rested before it; the keys are looked at again.
  bool idle_between_polls(int awaited_vk) override;

  // The shared waits' side: the picture in the canvas, and the page's inputs through a queue.
  bool show_picture(const std::uint32_t* pixels, int width, int height) override;
  // The next input in the queue (kind none when it is empty): the page never waits here, its
  // loop rests between looks.
  InputEvent next_input(int milliseconds) override;

  // The page's loop: a pass, a box, a pause or the end, whichever is due.
  void on_timer();

  // Called from the page's events.
  void on_key(bool down, int vk, bool repeat);
  // M or P was followed (input_map.h).
  void on_control_key();
  void on_focus_lost();
  void on_visibility(bool hidden);
  void on_click(int x, int y);
  // A touch control of the page pressed or let go a game key.
  void on_touch_key(int vk, bool down);
  // A controller came: they are looked at often, so that a press between two frames counts.
  void on_pad_connected();
  void look_at_pads();

 private:
  // The page's inputs since a message box last looked; when full, later ones are dropped.
  class InputQueue {
   public:
    void push(const InputEvent& input);
    // The oldest input, or one of kind none.
    InputEvent take();
    void clear() { count_ = 0; }

   private:
    static constexpr int capacity = 16;
    InputEvent inputs_[capacity];
    int first_ = 0;
    int count_ = 0;
  };

  // Shows what changed of the game's picture, with the overlay over it when there is one (or was).
  void show_game_picture(const ChangedArea& rewritten);
  // The next look of the page's loop after `milliseconds`, sooner when an input comes if
  // `input_wakes`.
  void rest(int milliseconds, bool input_wakes);
  // An input came: a rest that waits for one ends now.
  void wake();
  // The boxes asked for, in turn: true once none is up.
  bool answer_boxes();
  void open_box();
  void close_box();
  // The pause, when the game must stand still: true once the game may go on.
  bool stand_still();
  // What a waiting game shows and tells the page before it rests.
  void begin_wait(int awaited_vk);
  // A press from the touch controls or a controller: the game sees it at the next pump, and a
  // waiting game wakes for it.
  void press(int vk);
  // The state, and the key a wait for D or N wants (0 otherwise).
  void set_state(const char* state, int awaited_vk = 0);
  void stop_looking_at_pads();
  void set_canvas_cursor(bool shown);

  // The longest one rest of a waiting game, box or pause lasts before it looks again.
  static constexpr int idle_ms = 250;
  // How often the controllers are looked at while there are any.
  static constexpr int pad_look_ms = 16;

  bool window_open_ = false;
  bool fast_ = false;
  int asked_players_ = 0;  // by ?players=, 0 when not asked
  int players_ = 1;
  bool hints_ = true;
  bool cursor_shown_ = true;
  int frames_ = 0;
  const char* state_ = "loading";
  int awaited_vk_ = 0;
  KeyLatch keys_;  // the keyboard's keys go down and up in it; touch and controllers are asked
  KeySet touch_held_;
  WebPads pads_;
  long pad_timer_ = 0;
  InputQueue inputs_;
  TruePicture picture_;
  OverlaidPicture shown_picture_;
  PageGame* game_ = nullptr;  // the game the page's loop runs
  bool ending_ = false;       // its last pass has come
  int timer_ = 0;             // the loop's next look, 0 when none is due
  bool input_wakes_ = false;
  std::deque<std::pair<std::string, std::string>> boxes_;  // text and caption, until one shows
  std::optional<MessageBoxWait> box_;
  const char* state_before_box_ = "running";
  std::optional<PauseWait> pause_;
  PageScreen screen_;
};

}  // namespace platform
