#pragma once
// What a screen shows over the game's picture when it presents it, like the pause's notice, and
// never in the game's own frames: a line of text at the top, labelled markers at points of the
// picture and an arrow. What it says is the caller's; the backends only draw it. It holds its
// texts in place, so setting and drawing it allocate nothing.
//
// Texts are the game's font (printable ASCII) plus two signs drawn by hand: the middle dot
// "\u00B7" between the parts of a line and the en dash "\u2013" of a score, in UTF-8.

#include <array>
#include <cstdint>
#include <vector>

#include "platform/backend.h"
#include "platform/result.h"

namespace platform {

class Overlay {
 public:
  static constexpr int max_markers = 2;
  static constexpr int max_arrows = 2;
  static constexpr int max_text = 96;  // bytes of a text, its end included; longer ones are cut

  // The line across the top of the picture; "" takes it away.
  void set_banner(const char* text);
  // Marker `index` (0 or 1) over the point (x, y) of the picture, its tip on the point and its
  // label above; a null label takes it away.
  void set_marker(int index, int x, int y, const char* label);
  // Arrow `index` (0 or 1) along the picture's rows from (x, y), `length` pixels long (negative:
  // to the left), its head at the far end; a length of 0 takes it away.
  void set_arrow(int index, int x, int y, int length);
  void clear();

  bool empty() const;
  // Whether anything changed since the last call: a screen that shows no new frame (the game
  // waits) shows its last picture again with the overlay as it now is.
  bool take_change();

  // Draws everything over a picture of 0x00RRGGBB pixels, `width` by `height`, rows back to back,
  // never outside it. Dark panels with white text and edges: legible over the ice and the boards.
  void draw_over(std::uint32_t* pixels, int width, int height) const;

 private:
  using Text = std::array<char, max_text>;
  struct Marker {
    int x = 0;
    int y = 0;
    Text label{};
    bool shown = false;
  };

  Text banner_{};
  std::array<Marker, max_markers> markers_{};
  struct Arrow {
    int x = 0;
    int y = 0;
    int length = 0;
  };

  std::array<Arrow, max_arrows> arrows_{};
  bool changed_ = false;
};

// A screen's overlay and the picture it puts it over: the overlay is drawn over a copy (made once
// and reused), so that the game's picture, which the waits and the pause show again, never holds
// it. What every backend that shows the game's picture uses alike.
class OverlaidPicture {
 public:
  Overlay& overlay() { return overlay_; }
  // The pixels to show for the game's picture of `width` by `height`, of which `changed` was
  // rewritten: the picture itself while nothing is over it, else the copy with the overlay, all of
  // it changed (the overlay may have moved). `changed` becomes what to show again.
  const std::uint32_t* compose(const std::uint32_t* picture, int width, int height, ChangedArea& changed);

 private:
  Overlay overlay_;
  std::vector<std::uint32_t> copy_;
  bool shown_ = false;  // the last picture composed had the overlay over it
};

// The colours of what the overlay draws.
constexpr std::uint32_t overlay_body_colour = 0x101820;
constexpr std::uint32_t overlay_text_colour = 0xFFFFFF;

// Width in pixels of a text as the overlay draws it (its two drawn signs included).
int overlay_text_width(const char* text);

}  // namespace platform
