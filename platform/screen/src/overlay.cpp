#include "platform/overlay.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <utility>

#include "panel.h"
#include "platform/font.h"

namespace platform {

namespace {

constexpr std::string_view middle_dot = "\u00B7";
constexpr std::string_view en_dash = "\u2013";
constexpr int dot_advance = 14;
constexpr int dot_side = 3;
constexpr int dash_advance = 10;
constexpr int dash_length = 7;
constexpr int dash_thickness = 2;
constexpr int line_middle = 8;  // from the top of a line of text: the middle of a digit

constexpr int banner_top = 4;
constexpr int banner_padding_x = 10;
constexpr int banner_padding_y = 4;
constexpr int label_padding = 5;
constexpr int marker_tip = 9;   // from the label's box down to the point
constexpr int tip_half = 6;
constexpr int shaft_half = 3;   // the arrow's shaft: 7 pixels thick
constexpr int head_half = 10;   // the head: 21 pixels across, 14 long
constexpr int head_length = 14;

void copy_text(std::array<char, Overlay::max_text>& into, const char* text) {
  std::snprintf(into.data(), into.size(), "%s", text != nullptr ? text : "");
}

// Walks a text piece by piece: a run of glyphs, or one of the two drawn signs.
template <typename Visit>
void for_each_piece(const char* text, Visit visit) {
  std::string_view rest(text);
  while (!rest.empty()) {
    const std::size_t sign = std::min(rest.find(middle_dot), rest.find(en_dash));
    if (sign != 0) {
      visit(rest.substr(0, std::min(sign, rest.size())), 0);
      if (sign == std::string_view::npos) return;
      rest.remove_prefix(sign);
      continue;
    }
    const bool dot = rest.starts_with(middle_dot);
    visit(std::string_view{}, dot ? dot_advance : dash_advance);
    rest.remove_prefix(dot ? middle_dot.size() : en_dash.size());
  }
}

// The text with its signs, its line's top-left corner at (x, y), cut at `clip`.
void write(const Panel& panel, int x, int y, const char* text, const Rect& clip) {
  for_each_piece(text, [&](std::string_view glyphs, int sign_advance) {
    if (sign_advance == 0) {
      panel.write(x, y, glyphs, overlay_text_colour, clip);
      x += width_of(glyphs);
      return;
    }
    const int middle = y + line_middle;
    const Rect mark = sign_advance == dot_advance
                          ? Rect{x + (dot_advance - dot_side) / 2, middle - 1, x + (dot_advance + dot_side) / 2, middle + 2}
                          : Rect{x + (dash_advance - dash_length) / 2, middle, x + (dash_advance + dash_length) / 2,
                                 middle + dash_thickness};
    panel.fill(mark, overlay_text_colour);
    x += sign_advance;
  });
}

// A dark box with a white edge.
void box(const Panel& panel, const Rect& area) {
  panel.fill(area, overlay_body_colour);
  panel.outline(area, overlay_text_colour);
}

// A triangle pointing along the rows (`across`) or down the columns from `base` to `tip`,
// `half` pixels either side of `middle` at its base, narrowing to a point; `grow` widens it all
// round.
void triangle(const Panel& panel, bool across, int base, int tip, int middle, int half, int grow, std::uint32_t colour) {
  const int step = tip > base ? 1 : -1;
  const int length = (tip - base) * step;
  for (int i = -grow; i <= length + grow; ++i) {
    const int reach = std::max(0, (length - std::max(i, 0)) * half / std::max(length, 1)) + grow;
    const int at = base + i * step;
    panel.fill(across ? Rect{at, middle - reach, at + 1, middle + reach + 1}
                      : Rect{middle - reach, at, middle + reach + 1, at + 1},
               colour);
  }
}

void arrow(const Panel& panel, int x, int y, int length) {
  const int step = length > 0 ? 1 : -1;
  const int tip = x + length, neck = tip - step * head_length;
  const auto shaft = [&](int grow) {
    return Rect{std::min(x, neck) - grow, y - shaft_half - grow, std::max(x, neck) + 1 + grow, y + shaft_half + 1 + grow};
  };
  // White first, a pixel larger all round, then the dark arrow inside it.
  panel.fill(shaft(1), overlay_text_colour);
  triangle(panel, true, neck, tip, y, head_half, 1, overlay_text_colour);
  panel.fill(shaft(0), overlay_body_colour);
  triangle(panel, true, neck, tip, y, head_half, 0, overlay_body_colour);
}

void marker(const Panel& panel, int x, int y, const char* label) {
  const int width = overlay_text_width(label) + 2 * label_padding, height = Glyph::line_height + 2;
  const int left = x - width / 2, bottom = y - marker_tip;
  const Rect label_box{left, bottom - height, left + width, bottom};
  // The tip: a small triangle from the box down to the point, edged like the box.
  triangle(panel, false, bottom - 1, y, x, tip_half, 1, overlay_text_colour);
  triangle(panel, false, bottom - 1, y, x, tip_half, 0, overlay_body_colour);
  box(panel, label_box);
  write(panel, left + label_padding, bottom - height + 1, label, label_box);
}

}  // namespace

int overlay_text_width(const char* text) {
  int width = 0;
  for_each_piece(text, [&width](std::string_view glyphs, int sign_advance) {
    width += sign_advance != 0 ? sign_advance : width_of(glyphs);
  });
  return width;
}

void Overlay::set_banner(const char* text) {
  if (std::strcmp(banner_.data(), text != nullptr ? text : "") == 0) return;
  copy_text(banner_, text);
  changed_ = true;
}

void Overlay::set_marker(int index, int x, int y, const char* label) {
  if (index < 0 || index >= max_markers) return;
  Marker& m = markers_[static_cast<std::size_t>(index)];
  const bool shown = label != nullptr;
  if (m.shown == shown && (!shown || (m.x == x && m.y == y && std::strcmp(m.label.data(), label) == 0))) return;
  m.shown = shown;
  m.x = x;
  m.y = y;
  copy_text(m.label, label);
  changed_ = true;
}

void Overlay::set_arrow(int index, int x, int y, int length) {
  if (index < 0 || index >= max_arrows) return;
  Arrow& a = arrows_[static_cast<std::size_t>(index)];
  if (a.x == x && a.y == y && a.length == length) return;
  a = {x, y, length};
  changed_ = true;
}

void Overlay::clear() {
  set_banner("");
  for (int i = 0; i < max_markers; ++i) set_marker(i, 0, 0, nullptr);
  for (int i = 0; i < max_arrows; ++i) set_arrow(i, 0, 0, 0);
}

bool Overlay::empty() const {
  return banner_[0] == '\0' && std::none_of(arrows_.begin(), arrows_.end(), [](const Arrow& a) { return a.length != 0; }) &&
         std::none_of(markers_.begin(), markers_.end(), [](const Marker& m) { return m.shown; });
}

bool Overlay::take_change() { return std::exchange(changed_, false); }

void Overlay::draw_over(std::uint32_t* pixels, int width, int height) const {
  const Panel panel(pixels, width, height);
  for (const Arrow& a : arrows_) {
    if (a.length != 0) arrow(panel, a.x, a.y, a.length);
  }
  for (const Marker& m : markers_) {
    if (m.shown) marker(panel, m.x, m.y, m.label.data());
  }
  if (banner_[0] == '\0') return;
  const int text_width = overlay_text_width(banner_.data());
  const int left = (width - text_width) / 2 - banner_padding_x;
  const Rect area{left, banner_top, left + text_width + 2 * banner_padding_x,
                  banner_top + Glyph::line_height + 2 * banner_padding_y};
  box(panel, area);
  write(panel, left + banner_padding_x, banner_top + banner_padding_y, banner_.data(), area);
}

const std::uint32_t* OverlaidPicture::compose(const std::uint32_t* picture, int width, int height,
                                              ChangedArea& changed) {
  overlay_.take_change();
  const bool over = !overlay_.empty();
  if (!over && !shown_) return picture;
  shown_ = over;
  copy_.assign(picture, picture + static_cast<std::size_t>(width) * height);  // allocates only on a new size
  overlay_.draw_over(copy_.data(), width, height);
  changed = {true, nullptr, 0};
  return copy_.data();
}

}  // namespace platform
