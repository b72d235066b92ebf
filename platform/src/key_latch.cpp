#include "platform/key_latch.h"

namespace platform {

int KeyLatch::slot(int vk) {
  for (int i = 0; i < script_key_count; ++i) {
    if (script_keys[i].vk == vk) return i;
  }
  return -1;
}

void KeyLatch::tap(int vk) {
  const int i = slot(vk);
  if (i >= 0) tapped_[i] = true;
}

void KeyLatch::press(int vk) {
  const int i = slot(vk);
  if (i < 0) return;
  down_[i] = true;
  tapped_[i] = true;
}

void KeyLatch::release(int vk) {
  const int i = slot(vk);
  if (i >= 0) down_[i] = false;
}

void KeyLatch::mask_until_released(int vk) {
  const int i = slot(vk);
  if (i < 0) return;
  masked_[i] = true;
  held_[i] = false;
}

void KeyLatch::release_all() { down_.fill(false); }

bool KeyLatch::held(int vk) const {
  const int i = slot(vk);
  return i >= 0 && held_[i];
}

}  // namespace platform
