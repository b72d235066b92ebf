#pragma once
// A private X screen for one test: an Xvfb server on a display number it picks itself, with
// the few things a test does on it (find windows, press keys, read the screen).

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "image.h"
#include "process.h"

namespace e2e {

class XConnection;

class XScreen {
 public:
  // Starts Xvfb with one screen of that size at 24 bits and waits until it accepts clients.
  // Throws std::runtime_error when it does not within a few seconds.
  XScreen(int width, int height);
  // Ends the server (SIGTERM, then SIGKILL) and reaps it.
  ~XScreen();
  XScreen(const XScreen&) = delete;
  XScreen& operator=(const XScreen&) = delete;

  const std::string& display() const { return display_; }
  pid_t server_pid() const { return server_->pid(); }

  // The environment of a program shown on this screen: this process's, with DISPLAY set to it
  // and nothing that would send the program elsewhere (Wayland, another SDL video driver);
  // `set` entries (NAME=VALUE) replace or add theirs.
  Environment environment(const std::vector<std::string>& set = {}) const;

  // Runs xdotool with these arguments; its standard output, or nothing when it failed.
  std::optional<std::string> xdotool(const std::vector<std::string>& arguments) const;

  // Ids (in decimal, as xdotool takes them) of the shown windows with exactly this title, in
  // the order of creation. Read with Xlib: xdotool's search misses UTF-8 titles, which SDL's
  // message boxes have.
  std::vector<std::string> windows_titled(const std::string& title) const;
  // The first such window to appear within `limit`.
  std::optional<std::string> wait_for_window(const std::string& title, Milliseconds limit) const;
  // Where the window lies on the screen; nothing when it is gone.
  std::optional<Rect> window_area(const std::string& window) const;

  // Key presses and releases through the XTEST extension, as a keyboard would make them, sent
  // at once over the test's own connection (no program started for them, so they keep up with
  // the frames on a loaded machine). Keys are keysym names: Right, Escape, Return, d.
  void key_down(const std::string& key) const;
  void key_up(const std::string& key) const;
  void move_pointer(int x, int y) const;
  // Gives the keyboard focus to the window.
  void focus(const std::string& window) const;
  // Takes the keyboard focus from every window, as when the player turns to another program.
  void focus_nothing() const;
  // Sets the window's size, as a player dragging its edge would.
  void resize(const std::string& window, int width, int height) const;

  // Asks the window's client to close it, as a window manager's close button does: a
  // WM_DELETE_WINDOW message of the WM_PROTOCOLS kind. False when it could not be sent.
  bool request_close(const std::string& window) const;

  // The whole screen, or one window's contents, read with xwd; both throw std::runtime_error
  // when it fails.
  Image capture() const;
  Image capture_window(const std::string& window) const;
  // Part of the screen read straight through Xlib: a few milliseconds where xwd takes tens, for
  // measurements that must keep up with the frames. Throws std::runtime_error when it fails.
  Image grab(Rect area) const;

 private:
  Image run_xwd(const std::vector<std::string>& arguments) const;

  void send_key(const std::string& key, bool down) const;

  std::string display_;
  std::unique_ptr<Process> server_;
  mutable std::unique_ptr<XConnection> keyboard_;  // opened with the first key
};

}  // namespace e2e
