// The page's rule for placing the picture, which is the desktop's (picture.h, sharp_scaler.h),
// built as a module of its own (rink-fit.wasm) that rink-page.js carries and runs at once, so the
// page is laid out before the game has loaded. Sizes are in any unit finer than a device pixel
// the page chooses; the enlarging factor's are in device pixels.

#include <emscripten.h>

#include "platform/picture.h"
#include "platform/sharp_scaler.h"

using platform::picture_height;
using platform::picture_width;

// The largest area of the picture's shape inside `width` by `height`: its width, and its height.
extern "C" EMSCRIPTEN_KEEPALIVE int rink_fit_width(int width, int height) {
  return platform::fill_picture(width, height, picture_width, picture_height).width;
}

extern "C" EMSCRIPTEN_KEEPALIVE int rink_fit_height(int width, int height) {
  return platform::fill_picture(width, height, picture_width, picture_height).height;
}

// The whole factor of the enlargement that a picture shown `shown_width` device pixels wide needs.
extern "C" EMSCRIPTEN_KEEPALIVE int rink_enlarging_factor(int shown_width) {
  return platform::enlarging_factor(picture_width, shown_width);
}
