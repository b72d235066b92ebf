#include "damage.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "objects.h"

namespace platform {

void DamageList::add(const Rect& rect) {
  if (everything_) return;
  if (count_ == capacity) {
    cover_everything();
    return;
  }
  rects_[count_++] = rect;
}

void DamageList::add_all(const DamageList& other) {
  if (other.everything_) {
    cover_everything();
    return;
  }
  for (int i = 0; i < other.count_; ++i) add(other.rects_[i]);
}

void DamageList::cover_everything() {
  everything_ = true;
  count_ = 0;
}

void DamageList::clear() {
  everything_ = false;
  count_ = 0;
}

void ShownCopy::prepare(int width, int height) {
  width_ = width;
  height_ = height;
  pixels_.resize(static_cast<std::size_t>(width) * height);
}

ChangedArea ShownCopy::narrow(const std::uint8_t* pixels, int width, int height, int pitch,
                              const ChangedArea& changed) {
  if (changed.everything || changed.count > DamageList::capacity || width != width_ || height != height_) {
    prepare(width, height);
    for (int y = 0; y < height; ++y) {
      std::memcpy(pixels_.data() + static_cast<std::size_t>(y) * width, pixels + static_cast<std::size_t>(y) * pitch,
                  static_cast<std::size_t>(width));
    }
    return {true, nullptr, 0};
  }
  int count = 0;
  for (int i = 0; i < changed.count; ++i) {
    const Rect differs = narrow_one(pixels, pitch, changed.rects[i]);
    if (differs.left < differs.right) rects_[count++] = differs;
  }
  return {false, rects_.data(), count};
}

Rect ShownCopy::narrow_one(const std::uint8_t* pixels, int pitch, const Rect& area) {
  const int left = std::max(area.left, 0), right = std::min(area.right, width_);
  const int top = std::max(area.top, 0), bottom = std::min(area.bottom, height_);
  Rect differs{right, bottom, left, top};
  if (left >= right) return differs;
  const auto across = static_cast<std::size_t>(right - left);
  for (int y = top; y < bottom; ++y) {
    const std::uint8_t* now = pixels + static_cast<std::size_t>(y) * pitch + left;
    std::uint8_t* shown = pixels_.data() + static_cast<std::size_t>(y) * width_ + left;
    if (std::memcmp(now, shown, across) == 0) continue;
    int first = 0;
    while (now[first] == shown[first]) ++first;
    int last = static_cast<int>(across) - 1;
    while (now[last] == shown[last]) --last;
    std::memcpy(shown + first, now + first, static_cast<std::size_t>(last - first + 1));
    differs = {std::min(differs.left, left + first), std::min(differs.top, y), std::max(differs.right, left + last + 1),
               y + 1};
  }
  return differs;
}

void note_base_copy(Surface* dest, const Surface* source, const Rect& area) {
  SurfaceDamage& damage = dest->damage;
  ++dest->version;
  // Laying the same unchanged picture over the same area again restores only what was drawn
  // over it; what lies outside the area keeps its own record.
  const Rect& last = damage.base_area;
  const bool same_base = damage.base_serial == source->serial && damage.base_version == source->version &&
                         last.left == area.left && last.top == area.top && last.right == area.right &&
                         last.bottom == area.bottom;
  if (same_base) {
    damage.unshown.add_all(damage.over_base);
  } else {
    damage.unshown.cover_everything();
  }
  damage.base_serial = source->serial;
  damage.base_version = source->version;
  damage.base_area = area;
  damage.over_base.clear();
}

void note_write(Surface* dest, const Rect& part) {
  ++dest->version;
  dest->damage.over_base.add(part);
  dest->damage.unshown.add(part);
}

void note_unknown_write(Surface* dest) {
  ++dest->version;
  dest->damage.base_serial = 0;
  dest->damage.over_base.cover_everything();
  dest->damage.unshown.cover_everything();
}

}  // namespace platform
