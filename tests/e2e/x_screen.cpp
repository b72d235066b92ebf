#include "x_screen.h"

#include <cstring>
#include <stdexcept>

// Xlib last: its macros (None, Status, Bool...) would clash with names in other headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

namespace e2e {

// A client connection to the screen.
class XConnection {
 public:
  explicit XConnection(const std::string& display) : connection_(XOpenDisplay(display.c_str())) {
    // Windows come and go while we look (SDL replaces its first one): a request on a window
    // just destroyed fails, which Xlib's own handler would answer by ending this process.
    XSetErrorHandler([](::Display*, XErrorEvent*) { return 0; });
  }
  ~XConnection() {
    if (connection_ != nullptr) XCloseDisplay(connection_);
  }
  XConnection(const XConnection&) = delete;
  XConnection& operator=(const XConnection&) = delete;

  bool open() const { return connection_ != nullptr; }

  // The root's children, bottom of the stack first. Nothing reparents them: no window manager.
  std::vector<::Window> top_level_windows() const {
    ::Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    std::vector<::Window> windows;
    const ::Window screen_root = DefaultRootWindow(connection_);
    if (XQueryTree(connection_, screen_root, &root, &parent, &children, &count) == 0) return windows;
    windows.assign(children, children + count);
    if (children != nullptr) XFree(children);
    return windows;
  }

  bool shown(::Window window) const {
    XWindowAttributes attributes;
    return XGetWindowAttributes(connection_, window, &attributes) != 0 &&
           attributes.map_state == IsViewable;
  }

  // The title's bytes as stored, whatever their encoding (STRING or UTF8_STRING).
  std::string title(::Window window) const {
    XTextProperty name{};
    if (XGetWMName(connection_, window, &name) == 0 || name.value == nullptr) return {};
    std::string text(reinterpret_cast<const char*>(name.value), name.nitems);
    XFree(name.value);
    return text;
  }

  std::optional<Rect> area(::Window window) const {
    XWindowAttributes attributes;
    ::Window child = 0;
    int x = 0, y = 0;
    const ::Window root = DefaultRootWindow(connection_);
    if (XGetWindowAttributes(connection_, window, &attributes) == 0 ||
        XTranslateCoordinates(connection_, window, root, 0, 0, &x, &y, &child) == 0) {
      return std::nullopt;
    }
    return Rect{x, y, attributes.width, attributes.height};
  }

  std::optional<Image> grab(Rect r) const {
    XImage* pixels = XGetImage(connection_, DefaultRootWindow(connection_), r.x, r.y,
                               static_cast<unsigned>(r.width), static_cast<unsigned>(r.height),
                               AllPlanes, ZPixmap);
    if (pixels == nullptr) return std::nullopt;
    if (pixels->bits_per_pixel != 32 || pixels->byte_order != LSBFirst) {
      XDestroyImage(pixels);
      return std::nullopt;
    }
    Image image{r.width, r.height, {}};
    image.pixels.reserve(static_cast<std::size_t>(r.width) * r.height);
    // The screen is 24-bit TrueColor in 32-bit pixels (as Xvfb is started): 0x..RRGGBB.
    for (int y = 0; y < r.height; ++y) {
      const char* row = pixels->data + static_cast<std::ptrdiff_t>(y) * pixels->bytes_per_line;
      for (int x = 0; x < r.width; ++x) {
        std::uint32_t pixel;
        std::memcpy(&pixel, row + x * 4, sizeof pixel);
        image.pixels.push_back(pixel & 0xFFFFFF);
      }
    }
    XDestroyImage(pixels);
    return image;
  }

  bool press(const std::string& key, bool down) const {
    const KeySym symbol = XStringToKeysym(key.c_str());
    const KeyCode code = symbol == NoSymbol ? 0 : XKeysymToKeycode(connection_, symbol);
    if (code == 0) return false;
    XTestFakeKeyEvent(connection_, code, down ? True : False, CurrentTime);
    XFlush(connection_);
    return true;
  }

  void focus_root() const {
    XSetInputFocus(connection_, DefaultRootWindow(connection_), RevertToNone, CurrentTime);
    XSync(connection_, False);
  }

  // What a window manager's close button sends: WM_DELETE_WINDOW of the WM_PROTOCOLS kind.
  bool send_delete_request(::Window window) const {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(connection_, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(connection_, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const bool sent = XSendEvent(connection_, window, False, NoEventMask, &event) != 0;
    XSync(connection_, False);
    return sent;
  }

 private:
  ::Display* connection_;
};

XScreen::XScreen(int width, int height) {
  // Xvfb picks a free display number itself and writes it on descriptor 3 once it accepts
  // clients: no guessing of free numbers and no waiting by time.
  Pipe ready;
  const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  server_ = std::make_unique<Process>(SpawnOptions{
      // Only the server's built-in font, as on a machine without X core fonts.
      .argv = {"Xvfb", "-displayfd", "3", "-screen", "0", screen, "-nolisten", "tcp", "-noreset", "-fp", "built-ins"},
      .environment = environment_with({}),
      .descriptor_3 = ready.write_end()});
  ready.close_write_end();
  std::string number;
  if (!read_until(ready.read_end(), number, Clock::now() + 10s, '\n') || number.size() < 2 ||
      number.back() != '\n') {
    throw std::runtime_error("Xvfb did not start");
  }
  number.pop_back();
  display_ = ":" + number;
}

XScreen::~XScreen() {
  keyboard_.reset();
  server_->stop();
}

Environment XScreen::environment(const std::vector<std::string>& set) const {
  std::vector<std::string> entries = set;
  entries.push_back("DISPLAY=" + display_);
  return environment_with(entries, {"WAYLAND_DISPLAY", "SDL_VIDEODRIVER"});
}

std::optional<std::string> XScreen::xdotool(const std::vector<std::string>& arguments) const {
  std::vector<std::string> argv{"xdotool"};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  CommandResult result = run_command(argv, environment());
  if (result.exit_code != 0) return std::nullopt;
  return std::move(result.output);
}

std::vector<std::string> XScreen::windows_titled(const std::string& title) const {
  std::vector<std::string> ids;
  XConnection x(display_);
  if (!x.open()) return ids;
  for (::Window window : x.top_level_windows()) {
    if (x.shown(window) && x.title(window) == title) ids.push_back(std::to_string(window));
  }
  return ids;
}

std::optional<std::string> XScreen::wait_for_window(const std::string& title,
                                                    Milliseconds limit) const {
  std::vector<std::string> ids;
  poll_until(limit, [&] { return !(ids = windows_titled(title)).empty(); });
  if (ids.empty()) return std::nullopt;
  return ids.front();
}

std::optional<Rect> XScreen::window_area(const std::string& window) const {
  XConnection x(display_);
  if (!x.open()) return std::nullopt;
  return x.area(std::stoul(window));
}

void XScreen::send_key(const std::string& key, bool down) const {
  if (!keyboard_) keyboard_ = std::make_unique<XConnection>(display_);
  if (!keyboard_->open() || !keyboard_->press(key, down)) throw std::runtime_error("cannot press " + key);
}

void XScreen::key_down(const std::string& key) const { send_key(key, true); }

void XScreen::key_up(const std::string& key) const { send_key(key, false); }

void XScreen::move_pointer(int x, int y) const {
  xdotool({"mousemove", std::to_string(x), std::to_string(y)});
}

void XScreen::focus(const std::string& window) const { xdotool({"windowfocus", window}); }

void XScreen::focus_nothing() const {
  XConnection x(display_);
  if (x.open()) x.focus_root();
}

void XScreen::resize(const std::string& window, int width, int height) const {
  xdotool({"windowsize", "--sync", window, std::to_string(width), std::to_string(height)});
}

bool XScreen::request_close(const std::string& window) const {
  XConnection x(display_);
  return x.open() && x.send_delete_request(std::stoul(window));
}

Image XScreen::run_xwd(const std::vector<std::string>& arguments) const {
  std::vector<std::string> argv{"xwd", "-silent"};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  const CommandResult result = run_command(argv, environment());
  if (result.exit_code != 0) throw std::runtime_error("xwd failed on " + display_);
  return parse_xwd(result.output);
}

Image XScreen::capture() const { return run_xwd({"-root"}); }

Image XScreen::grab(Rect area) const {
  XConnection x(display_);
  std::optional<Image> image = x.open() ? x.grab(area) : std::nullopt;
  if (!image) throw std::runtime_error("cannot read the screen of " + display_);
  return std::move(*image);
}

Image XScreen::capture_window(const std::string& window) const { return run_xwd({"-id", window}); }

}  // namespace e2e
