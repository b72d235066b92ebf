#pragma once
// The drawing and key operations the game's frame stages use. This header is all that the
// match simulation sees of the display: it never touches a surface itself.

#include <cstdint>

#include "display/sprites.h"
#include "platform/keys.h"
#include "platform/random.h"

// The keys the game reads, by the platform's virtual-key codes (platform/keys.h), under the
// names the frame stages use. VK_P2_* are player two's keys in a two-player match, in its own
// direction sense: VK_P2_LEFT skates it left. D, N and Escape are shared.
constexpr int VK_RETURN = platform::vk_return;
constexpr int VK_ESCAPE = platform::vk_escape;
constexpr int VK_SPACE = platform::vk_space;
constexpr int VK_LEFT = platform::vk_left;
constexpr int VK_UP = platform::vk_up;
constexpr int VK_RIGHT = platform::vk_right;
constexpr int VK_DOWN = platform::vk_down;
constexpr int VK_D = platform::vk_d;
constexpr int VK_N = platform::vk_n;
constexpr int VK_P2_LEFT = platform::vk_p2_left;
constexpr int VK_P2_RIGHT = platform::vk_p2_right;
constexpr int VK_P2_UP = platform::vk_p2_up;
constexpr int VK_P2_DOWN = platform::vk_p2_down;
constexpr int VK_P2_SHOOT = platform::vk_p2_shoot;
constexpr int VK_P2_CHECK = platform::vk_p2_check;

// Text colours as COLORREF values 0x00BBGGRR.
using ColorRef = std::uint32_t;
constexpr ColorRef colour_blue = 0xFF0000;
constexpr ColorRef colour_red = 0x0000FF;
constexpr ColorRef colour_green = 0x00FF00;

struct DisplayContext;
struct DrawObserver;
namespace platform {
struct Surface;
struct DeviceContext;
}  // namespace platform

// A box a frame asks for: shown by the main loop once the pass ends, owned by the game window.
struct AskedMessage {
  const char* text = nullptr;
  const char* caption = nullptr;
};

// What a frame draws with and where: the display's pictures, the back buffer the frame draws
// into, the surface a present flips, and who watches the calls. The match holds one; a copy of
// the match that must not reach the screen holds one with no screen and no observer.
struct Canvas {
  const DisplayContext* display = nullptr;  // the rink, the sprites, the window
  platform::Surface* back_buffer = nullptr;
  platform::Surface* screen = nullptr;  // the primary surface; null: a present shows nothing
  DrawObserver* observer = nullptr;
  // Held from a frame's first text to its present.
  platform::DeviceContext* text_context = nullptr;
  AskedMessage asked;  // the box the last pass asked for, until the loop shows it
};

// Draws on the display's own back buffer and presents to its screen, watched by `observer`.
Canvas canvas_of(const DisplayContext& display, DrawObserver* observer = nullptr);

// Copies the rink picture to the back buffer: (0,0)-(639,479), right and bottom excluded.
bool blit_background(Canvas& canvas);

// Draws a 64 by 64 sprite keyed on index 117: source (0,0)-(63,63) to (x,y)-(x+63,y+63).
bool blit_sprite(Canvas& canvas, SpriteId id, int x, int y);

// Draws a skater image as blit_sprite does, in the second team's colours: for the second
// skater. Observers see the same call as blit_sprite's.
bool blit_second_skater(Canvas& canvas, SpriteId id, int x, int y);

// Draws the puck: its 15 by 15 source corner scaled into (x,y)-(x+9,y+9).
bool blit_puck(Canvas& canvas, int x, int y);

// Writes text with its top-left corner at (x, y), background transparent. The first call
// after a present takes the back buffer's device context; false when it is refused.
bool draw_text(Canvas& canvas, int x, int y, ColorRef colour, const char* text);

// Releases the device context and flips the back buffer to the screen, retrying the flip
// until it succeeds.
void present_frame(Canvas& canvas);

// A message box in the middle of a frame (the frame ends with it): standard error gets its line
// at once, as show_message writes it, and the box waits in the canvas for the loop to show it.
void ask_message(Canvas& canvas, const char* text, const char* caption);

// Modal message box owned by the game window, OK button only. Standard error gets a copy of it
// in one line, "rink: CAPTION: TEXT", followed by ": DETAIL" when what went wrong is known (the
// box itself shows only the game's own text).
void show_message(const DisplayContext& display, const char* text, const char* caption, const char* detail = nullptr);
// Shows the box a frame asked for, if any, and forgets it.
void show_asked_message(Canvas& canvas);
// Gives back the device context a frame cut short still holds (before the display goes).
void release_text(Canvas& canvas);
// Copies the picture in one canvas's back buffer into another's; false when a buffer is busy.
bool copy_picture(Canvas& into, const Canvas& from);
