// The screen's worker: it shows the game's picture as the desktop does by default, enlarged by a
// whole factor with nearest pixels (each picture pixel a square), in a canvas that the browser
// brings down smoothly to the size shown, so only the borders between picture pixels blend. It
// runs beside the page, on the screen canvas handed to it (OffscreenCanvas), so that the
// enlarging and the canvas's commits never hold up the game's thread.
'use strict';

let screen = null, context = null, factor = 1;
let picture = null;  // the game's picture, 0xAABBGGRR words as the canvas holds them
let width = 0;
let image = null, enlarged = null;  // the screen's ImageData, and its pixels as words

// Enlarges the rectangle [left, right) x [top, bottom) of the picture into the screen.
function enlarge(left, top, right, bottom) {
  const f = factor, wide = width * f;
  for (let y = top; y < bottom; ++y) {
    const first = y * f * wide;
    for (let x = left; x < right; ++x) {
      const colour = picture[y * width + x];
      for (let at = first + x * f, end = at + f; at < end; ++at) enlarged[at] = colour;
    }
    for (let row = 1; row < f; ++row) enlarged.copyWithin(first + row * wide + left * f, first + left * f, first + right * f);
  }
  context.putImageData(image, 0, 0, left * f, top * f, (right - left) * f, (bottom - top) * f);
}

// A new whole factor, or a picture of a new size: the screen is made anew and drawn whole.
function resize(newFactor, newWidth, height) {
  factor = newFactor;
  width = newWidth;
  if (!picture || picture.length !== width * height) picture = new Uint32Array(width * height);
  screen.width = width * factor;
  screen.height = height * factor;
  image = context.createImageData(screen.width, screen.height);
  enlarged = new Uint32Array(image.data.buffer);
  enlarge(0, 0, width, height);
}

// {screen}: the canvas, first. {factor}: a new whole factor. {width, height, rects, pixels}: what
// changed in a picture of that size, as rinkScreen.draw hands it over.
onmessage = ({data}) => {
  if (data.screen) {
    screen = data.screen;
    context = screen.getContext('2d', {alpha: false});
  } else if (data.factor) {
    if (picture) resize(data.factor, width, picture.length / width); else factor = data.factor;
  } else {
    if (!picture || data.width * data.height !== picture.length || data.width !== width) {
      resize(factor, data.width, data.height);
    }
    const {rects, pixels} = data;
    let from = 0;
    for (let i = 0; i < rects.length; i += 4) {
      const [left, top, right, bottom] = rects.subarray(i, i + 4), across = right - left;
      for (let y = top; y < bottom; ++y, from += across) picture.set(pixels.subarray(from, from + across), y * width + left);
      enlarge(left, top, right, bottom);
    }
  }
};
