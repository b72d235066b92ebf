// e2e_message_box CAPTION TEXT: shows one message box through the desktop backend, as the game
// shows its boxes, so that a test can compare the game's box with the one its text and caption
// should give.

#include "platform/sdl_backend.h"

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  platform::SdlBackend screen;
  screen.message_box(argv[2], argv[1]);
  return 0;
}
