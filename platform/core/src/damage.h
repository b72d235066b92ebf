#pragma once
// Which parts of a surface may look different from what the screen last showed of it, so that a
// flip converts and uploads only those. A frame copies the whole rink over the back buffer and
// then draws a few sprites and texts: between two flips only the sprites of both frames change.

#include <array>
#include <cstdint>
#include <vector>

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

// What the screen was last handed of a back buffer, so that a flip hands on only the parts of its
// changed area that differ from it: a sprite drawn again where it was, or the rink laid back over
// a spot that nothing covered, is no change.
class ShownCopy {
 public:
  // Makes room for a picture of this size, so that no flip has to (a new back buffer's first
  // flip hands on everything).
  void prepare(int width, int height);
  // The rectangles around what differs inside `changed` (clipped to the picture), the copy
  // brought up to date; everything, copied whole, after a change of size, when `changed` says so
  // or holds more rectangles than a damage list. Valid until the next call.
  ChangedArea narrow(const std::uint8_t* pixels, int width, int height, int pitch, const ChangedArea& changed);

 private:
  // The smallest rectangle holding what differs inside `area` (empty when nothing does).
  Rect narrow_one(const std::uint8_t* pixels, int pitch, const Rect& area);

  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint8_t> pixels_;
  std::array<Rect, DamageList::capacity> rects_{};
};

struct SurfaceDamage {
  // The surface last laid over this one, by serial and version (serial 0 when unknown), and
  // the area it covered.
  std::uint64_t base_serial = 0;
  std::uint64_t base_version = 0;
  Rect base_area{0, 0, 0, 0};
  DamageList over_base;  // drawn over that copy since
  DamageList unshown;    // written since the last flip
  ShownCopy shown;       // a back buffer's, as the last flip handed it on
};

struct Surface;

// Bookkeeping for writes onto `dest`: `area` of a same-sized `source` laid over the same area
// unscaled and uncut, a part written, or anything at all (a lock).
void note_base_copy(Surface* dest, const Surface* source, const Rect& area);
void note_write(Surface* dest, const Rect& part);
void note_unknown_write(Surface* dest);

}  // namespace platform
