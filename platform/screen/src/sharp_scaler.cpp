#include "platform/sharp_scaler.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace platform {

namespace {

using Tap = SharpScaler::Tap;

constexpr std::int32_t full_weight = 256;

// Screen pixel `i` along an axis. The picture is thought enlarged by the whole `factor` with
// nearest pixels, then brought to the screen's size by bilinear filtering, whose sample point
// lies `position / step` enlarged pixels from the first one's centre. Inside a picture pixel both
// neighbours of the sample point are that pixel, so only a border between two pixels blends.
// Without smoothing, the nearest enlarged pixel is taken instead.
Tap tap(long long i, long long picture_size, long long screen_size, long long factor, bool smooth) {
  const long long enlarged = picture_size * factor;
  const long long position = (2 * i + 1) * enlarged - screen_size;
  const long long step = 2 * screen_size;
  const long long rest = position % step;
  const long long weight = smooth ? (rest * 2 * full_weight + step) / (2 * step) : (2 * rest >= step) * full_weight;
  const auto left = static_cast<std::int32_t>(position / step / factor);
  const auto right = static_cast<std::int32_t>(std::min(position / step + 1, enlarged - 1) / factor);
  if (left == right) return {left, 0};
  if (weight == full_weight) return {right, 0};
  return {left, static_cast<std::int32_t>(weight)};
}

std::vector<Tap> taps(int picture_size, int screen_size, bool smooth) {
  const int factor = enlarging_factor(picture_size, screen_size);
  std::vector<Tap> result(static_cast<std::size_t>(screen_size));
  for (int i = 0; i < screen_size; ++i) result[i] = tap(i, picture_size, screen_size, factor, smooth);
  return result;
}

// Red and blue are weighed together in one word, green alone: each channel's sum stays below
// 2^16, so none spills into the next.
std::uint32_t blend(std::uint32_t a, std::uint32_t b, std::int32_t weight_of_b) {
  const auto wb = static_cast<std::uint32_t>(weight_of_b);
  const std::uint32_t wa = full_weight - wb;
  const std::uint32_t red_blue = ((a & 0xFF00FFu) * wa + (b & 0xFF00FFu) * wb + 0x800080u) >> 8;
  const std::uint32_t green = ((a & 0x00FF00u) * wa + (b & 0x00FF00u) * wb + 0x008000u) >> 8;
  return (red_blue & 0xFF00FFu) | (green & 0x00FF00u);
}

std::uint32_t sample(const std::uint32_t* line, Tap tap) {
  return tap.weight_of_next == 0 ? line[tap.first] : blend(line[tap.first], line[tap.first + 1], tap.weight_of_next);
}

std::uint32_t to_screen(std::uint32_t colour, const PixelFormat& format) {
  return (colour >> 16 & 0xFFu) << format.red_shift | (colour >> 8 & 0xFFu) << format.green_shift |
         (colour & 0xFFu) << format.blue_shift | format.alpha_mask;
}

std::uint32_t* screen_row(const ScreenPixels& screen, int y) {
  auto* bytes = reinterpret_cast<std::uint8_t*>(screen.pixels) + static_cast<std::ptrdiff_t>(y) * screen.pitch;
  return reinterpret_cast<std::uint32_t*>(bytes);
}

struct Span {
  int begin;
  int end;
};

// The screen pixels along one axis that read a picture pixel in [changed_begin, changed_end).
Span screen_span(const std::vector<Tap>& taps, int changed_begin, int changed_end) {
  const auto begin = std::partition_point(
      taps.begin(), taps.end(), [&](const Tap& tap) { return tap.first + (tap.weight_of_next != 0) < changed_begin; });
  const auto end = std::partition_point(begin, taps.end(), [&](const Tap& tap) { return tap.first < changed_end; });
  return {static_cast<int>(begin - taps.begin()), static_cast<int>(end - taps.begin())};
}

void scale_row(const std::uint32_t* upper, const std::uint32_t* lower, std::int32_t row_weight,
               const std::vector<Tap>& columns, Span span, const PixelFormat& format, std::uint32_t* out) {
  for (int x = span.begin; x < span.end; ++x) {
    std::uint32_t colour = sample(upper, columns[x]);
    if (row_weight != 0) colour = blend(colour, sample(lower, columns[x]), row_weight);
    out[x] = to_screen(colour, format);
  }
}

}  // namespace

int enlarging_factor(int picture_size, int screen_size) {
  return std::max(1, (screen_size + picture_size - 1) / picture_size);
}

bool SharpScaler::resize(ScaleMode mode, int screen_width, int screen_height, int picture_width, int picture_height) {
  if (mode == mode_ && screen_width == screen_width_ && screen_height == screen_height_ &&
      picture_width == picture_width_ && picture_height == picture_height_) {
    return false;
  }
  mode_ = mode;
  screen_width_ = screen_width;
  screen_height_ = screen_height;
  picture_width_ = picture_width;
  picture_height_ = picture_height;
  const bool smooth = mode == ScaleMode::sharp;
  placement_ = smooth ? fill_picture(screen_width, screen_height, picture_width, picture_height)
                      : fit_picture(screen_width, screen_height, picture_width, picture_height);
  columns_ = taps(picture_width, placement_.width, smooth);
  rows_ = taps(picture_height, placement_.height, smooth);
  return true;
}

ScreenRect SharpScaler::scale_changed(const std::uint32_t* picture, const Rect& changed,
                                      const ScreenPixels& screen) const {
  const Rect area{std::max(changed.left, 0), std::max(changed.top, 0), std::min(changed.right, picture_width_),
                  std::min(changed.bottom, picture_height_)};
  if (area.left >= area.right || area.top >= area.bottom) return {placement_.x, placement_.y, 0, 0};
  const Span columns = screen_span(columns_, area.left, area.right);
  const Span rows = screen_span(rows_, area.top, area.bottom);
  const auto row_bytes = static_cast<std::size_t>(columns.end - columns.begin) * sizeof(std::uint32_t);
  for (int y = rows.begin; y < rows.end; ++y) {
    std::uint32_t* out = screen_row(screen, placement_.y + y) + placement_.x;
    if (y > rows.begin && rows_[y] == rows_[y - 1]) {  // the same picture row as the screen row above
      std::memcpy(out + columns.begin, screen_row(screen, placement_.y + y - 1) + placement_.x + columns.begin,
                  row_bytes);
      continue;
    }
    const std::uint32_t* upper = picture + static_cast<std::size_t>(rows_[y].first) * picture_width_;
    const std::uint32_t* lower = rows_[y].weight_of_next == 0 ? upper : upper + picture_width_;
    scale_row(upper, lower, rows_[y].weight_of_next, columns_, columns, screen.format, out);
  }
  return {placement_.x + columns.begin, placement_.y + rows.begin, columns.end - columns.begin, rows.end - rows.begin};
}

Borders SharpScaler::paint_borders(const ScreenPixels& screen) const {
  const ScreenRect& p = placement_;
  const ScreenRect sides[] = {{0, 0, p.x, screen_height_},
                              {p.x + p.width, 0, screen_width_ - p.x - p.width, screen_height_},
                              {p.x, 0, p.width, p.y},
                              {p.x, p.y + p.height, p.width, screen_height_ - p.y - p.height}};
  Borders borders{{}, 0};
  for (const ScreenRect& side : sides) {
    if (side.width <= 0 || side.height <= 0) continue;
    borders.rects[borders.count++] = side;
    for (int y = side.y; y < side.y + side.height; ++y) {
      std::uint32_t* row = screen_row(screen, y) + side.x;
      std::fill(row, row + side.width, to_screen(0, screen.format));
    }
  }
  return borders;
}

}  // namespace platform
