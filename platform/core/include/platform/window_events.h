#pragma once
// What a backend reports about the game's window, and the little it may ask of the window layer:
// the only way a backend reaches it.

namespace platform {

// The player asked to close the window (its close button, an interrupt): the window gets
// WM_CLOSE. Like the quit request this is a flag, never a queued message, so it cannot be lost.
void report_close_request();
// The window's picture needs painting again: it gets one WM_PAINT however often this comes.
void report_expose();
// The window gained or lost the keyboard focus.
void report_focus(bool focused);
// The window was minimised or hidden, or shown again.
void report_shown(bool shown);
// The player pressed the pause key (P): the game stands still until it is pressed again.
void report_pause_key();

// Told when the game starts and stops standing still (the player's pause, a window without the
// focus), as the screen's pause wait sees it: online play tells the other side.
struct PauseListener {
  virtual ~PauseListener() = default;
  virtual void on_pause(bool standing_still) = 0;
};
// Who is told from now on; null: nobody.
void listen_for_pause(PauseListener* listener);
// The pause wait's report: the game has started (true) or stopped standing still.
void report_standing_still(bool standing_still);

// The game stands still: its window has no focus or is hidden, or the player paused it.
bool game_paused();
// The player paused the game, whatever the window's state.
bool paused_by_player();
// The player's session is over: no window is alive, or the game's is asked to close.
bool session_over();

}  // namespace platform
