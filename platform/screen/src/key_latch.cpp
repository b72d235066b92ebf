#include "platform/key_latch.h"

namespace platform {

void KeyLatch::tap(int vk) {
  const int i = key_slot(vk);
  if (i >= 0) tapped_[i] = true;
}

void KeyLatch::press(int vk) {
  const int i = key_slot(vk);
  if (i < 0) return;
  down_[i] = true;
  tapped_[i] = true;
}

void KeyLatch::release(int vk) {
  const int i = key_slot(vk);
  if (i >= 0) down_[i] = false;
}

void KeyLatch::mask_until_released(int vk) {
  const int i = key_slot(vk);
  if (i < 0) return;
  masked_[i] = true;
  held_[i] = false;
}

void KeyLatch::release_all() { down_.fill(false); }

bool KeyLatch::held(int vk) const {
  const int i = key_slot(vk);
  return i >= 0 && held_[i];
}

}  // namespace platform
