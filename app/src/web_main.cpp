// The game in a web page: the shell over the browser's backend.

#include <cstdio>

#include "app/main_loop.h"
#include "platform/draw.h"
#include "platform/web_backend.h"

int main() {
  platform::WebBackend screen;
  if (!screen.load_page_options()) {
    std::fprintf(stderr, "rink: %s\n", platform::last_error());
    return 2;
  }
  platform::use_backend(&screen);
  const int exit_code = win_main(nullptr);
  platform::use_backend(nullptr);
  return exit_code;
}
