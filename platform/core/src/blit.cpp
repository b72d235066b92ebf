// Blits between 8-bit surfaces: plain or colour-keyed copies, nearest-pixel scaling and colour
// fills, clipped to the destination's clip list when it has a clipper.

#include <algorithm>
#include <cstring>

#include "objects.h"

namespace platform {

namespace {

Rect whole(const Surface* surface) { return {0, 0, surface->width, surface->height}; }

bool empty(const Rect& r) { return r.right <= r.left || r.bottom <= r.top; }

bool inside(const Rect& r, const Surface* surface) {
  return r.left >= 0 && r.top >= 0 && r.right <= surface->width && r.bottom <= surface->height;
}

Rect intersect(const Rect& a, const Rect& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
}

// Nearest source pixel for destination offset `d` of `dest_size`, sampling pixel centres.
int source_offset(int d, int dest_size, int source_size) {
  if (dest_size == source_size) return d;
  return static_cast<int>((2LL * d + 1) * source_size / (2LL * dest_size));
}

struct Copy {
  Surface* dest;
  Rect dest_rect;  // the whole requested destination; `visible` is the part written
  const Surface* source;
  Rect source_rect;
  bool keyed;
};

void copy_rows(const Copy& c, const Rect& visible) {
  const int dest_w = c.dest_rect.right - c.dest_rect.left;
  const int dest_h = c.dest_rect.bottom - c.dest_rect.top;
  const int src_w = c.source_rect.right - c.source_rect.left;
  const int src_h = c.source_rect.bottom - c.source_rect.top;
  const bool unscaled = dest_w == src_w;
  for (int y = visible.top; y < visible.bottom; ++y) {
    const int sy = c.source_rect.top + source_offset(y - c.dest_rect.top, dest_h, src_h);
    const std::uint8_t* src_row = c.source->memory.data() + static_cast<std::size_t>(sy) * c.source->pitch;
    std::uint8_t* dest_row = c.dest->memory.data() + static_cast<std::size_t>(y) * c.dest->pitch;
    if (unscaled && !c.keyed) {
      const int sx = c.source_rect.left + (visible.left - c.dest_rect.left);
      std::memcpy(dest_row + visible.left, src_row + sx, static_cast<std::size_t>(visible.right - visible.left));
      continue;
    }
    for (int x = visible.left; x < visible.right; ++x) {
      const std::uint8_t value = src_row[c.source_rect.left + source_offset(x - c.dest_rect.left, dest_w, src_w)];
      if (c.keyed && value >= c.source->key.low && value <= c.source->key.high) continue;
      dest_row[x] = value;
    }
  }
}

void fill_rows(Surface* dest, const Rect& visible, std::uint8_t index) {
  for (int y = visible.top; y < visible.bottom; ++y) {
    std::memset(dest->memory.data() + static_cast<std::size_t>(y) * dest->pitch + visible.left, index,
                static_cast<std::size_t>(visible.right - visible.left));
  }
}

// The parts of `rect` the destination lets a blit write; calls `write` for each.
template <typename Write>
Result for_each_visible_part(Surface* dest, const Rect& rect, Write write) {
  if (dest->clipper == nullptr) {
    if (!inside(rect, dest)) return err_invalid_rect;
    write(rect);
    return ok;
  }
  if (!dest->clipper->has_list) return err_no_clip_list;
  for (const Rect& clip : dest->clipper->rects) {
    const Rect part = intersect(intersect(rect, clip), whole(dest));
    if (!empty(part)) write(part);
  }
  return ok;
}

bool same(const Rect& a, const Rect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

bool covers(const Rect& outer, const Rect& inner) {
  return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
         outer.bottom >= inner.bottom;
}

// A plain copy of a same-sized picture onto the same place, written whole: how a frame starts
// by laying the rink over everything drawn before.
bool lays_picture_over(const Copy& c) {
  if (c.keyed || !same(c.dest_rect, c.source_rect) || c.source->width != c.dest->width ||
      c.source->height != c.dest->height) {
    return false;
  }
  if (c.dest->clipper == nullptr) return true;
  for (const Rect& clip : c.dest->clipper->rects) {
    if (covers(intersect(clip, whole(c.dest)), c.dest_rect)) return true;
  }
  return false;
}

}  // namespace

Result blt(Surface* dest, const Rect* dest_rect, Surface* source, const Rect* source_rect, std::uint32_t flags,
           const BltFx* fx) {
  if (dest == nullptr) return err_invalid_params;
  if (dest->locked || dest->dc_held) return err_surface_busy;
  const Rect to = dest_rect ? *dest_rect : whole(dest);
  if (empty(to)) return err_invalid_rect;
  if (flags & ddblt_colorfill) {
    if (fx == nullptr) return err_invalid_params;
    const auto index = static_cast<std::uint8_t>(fx->fill_color);
    return for_each_visible_part(dest, to, [&](const Rect& part) {
      fill_rows(dest, part, index);
      note_write(dest, part);
    });
  }
  if (source == nullptr) return err_invalid_params;
  if (source->locked || source->dc_held) return err_surface_busy;
  if (blits_fail_from(source)) return err_injected;
  const Rect from = source_rect ? *source_rect : whole(source);
  if (empty(from) || !inside(from, source)) return err_invalid_rect;
  const Copy copy{dest, to, source, from, (flags & ddblt_keysrc) && source->keyed};
  if (lays_picture_over(copy)) {
    copy_rows(copy, to);
    note_base_copy(dest, source, to);
    return ok;
  }
  return for_each_visible_part(dest, to, [&](const Rect& part) {
    copy_rows(copy, part);
    note_write(dest, part);
  });
}

}  // namespace platform
