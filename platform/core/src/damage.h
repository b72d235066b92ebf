#pragma once
// Which parts of a surface may look different from what the screen last showed of it, so that a
// flip converts and uploads only those. A frame copies the whole rink over the back buffer and
// then draws a few sprites and texts: between two flips only the sprites of both frames change.

#include <array>
#include <cstdint>

#include "platform/backend.h"
#include "platform/result.h"

namespace platform {

class DamageList {
 public:
  // Past this many rectangles the list gives up and covers everything.
  static constexpr int capacity = 48;

  void add(const Rect& rect);
  void add_all(const DamageList& other);
  void cover_everything();
  void clear();
  ChangedArea area() const { return {everything_, rects_.data(), count_}; }
  bool everything() const { return everything_; }

 private:
  std::array<Rect, capacity> rects_{};
  int count_ = 0;
  bool everything_ = true;
};

struct SurfaceDamage {
  // The surface last laid over this one, by serial and version (serial 0 when unknown), and
  // the area it covered.
  std::uint64_t base_serial = 0;
  std::uint64_t base_version = 0;
  Rect base_area{0, 0, 0, 0};
  DamageList over_base;  // drawn over that copy since
  DamageList unshown;    // written since the last flip
};

struct Surface;

// Bookkeeping for writes onto `dest`: `area` of a same-sized `source` laid over the same area
// unscaled and uncut, a part written, or anything at all (a lock).
void note_base_copy(Surface* dest, const Surface* source, const Rect& area);
void note_write(Surface* dest, const Rect& part);
void note_unknown_write(Surface* dest);

}  // namespace platform
