// The game on a Linux desktop: the shell over the SDL backend.

#include <cstdio>

#include "app/main_loop.h"
#include "app/options.h"
#include "platform/sdl_backend.h"

int main(int argc, char** argv) {
  const Options options = parse_options(argc, argv);
  if (!options.error.empty()) {
    std::fprintf(stderr, "rink: %s\n%s", options.error.c_str(), usage_text());
    return 2;
  }
  if (options.help) {
    std::fputs(usage_text(), stdout);
    return 0;
  }
  if (options.version) {
    std::printf("rink %s\n", RINK_VERSION);
    return 0;
  }
  platform::SdlBackend screen;
  platform::use_backend(&screen);
  const int exit_code = win_main(nullptr);
  platform::use_backend(nullptr);
  return exit_code;
}
