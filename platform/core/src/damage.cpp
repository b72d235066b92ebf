#include "damage.h"

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
