// The game on a Linux desktop: the shell over the SDL backend.

#include "app/main_loop.h"
#include "platform/sdl_backend.h"

int main() {
  platform::SdlBackend screen;
  platform::use_backend(&screen);
  const int exit_code = win_main(nullptr);
  platform::use_backend(nullptr);
  return exit_code;
}
