#include "platform/backend.h"

#include "platform/system.h"

namespace platform {

namespace {

// Where calls go before a program chooses its backend: there is no screen to open a window on,
// and nothing else happens.
class NoScreen : public Backend {
 public:
  bool open_window() override {
    set_last_error("no screen has been chosen");
    return false;
  }
  void close_window() override {}
  bool set_display_mode(int, int, int) override { return false; }
  bool present(const std::uint8_t*, int, int, int, const PaletteEntry*, const ChangedArea&) override { return true; }
  void pump_events() override {}
  bool key_held(int) override { return false; }
  void message_box(const char*, const char*) override {}
  void cursor_visible(bool) override {}
  void sleep_ms(std::uint32_t) override {}
  bool idle_between_polls(int) override { return false; }
};

NoScreen no_screen;
Backend* current = &no_screen;

}  // namespace

void use_backend(Backend* chosen) { current = chosen ? chosen : &no_screen; }

Backend& backend() { return *current; }

void sleep_ms(std::uint32_t milliseconds) { backend().sleep_ms(milliseconds); }

bool idle_between_polls(int awaited_vk) { return backend().idle_between_polls(awaited_vk); }

}  // namespace platform
