#pragma once
// Result codes and rectangles shared by every call of the platform stand-in.

#include <cstdint>

namespace platform {

// Display calls report failure with a negative code; the caller gives up at once.
using Result = std::int32_t;
constexpr Result ok = 0;
constexpr Result err_generic = -1;
constexpr Result err_invalid_params = -2;
constexpr Result err_invalid_rect = -3;
constexpr Result err_surface_busy = -4;
constexpr Result err_not_locked = -5;
constexpr Result err_no_mode = -6;
constexpr Result err_no_clip_list = -7;
constexpr Result err_dc_already_created = -8;
constexpr Result err_surface_lost = -9;
constexpr Result err_injected = -100;  // a failure a test asked for

constexpr bool failed(Result r) { return r < 0; }

// Left, top, right, bottom; the right and bottom edges are excluded.
struct Rect {
  std::int32_t left;
  std::int32_t top;
  std::int32_t right;
  std::int32_t bottom;
};

}  // namespace platform
