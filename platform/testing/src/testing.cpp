// Failure injection and counters that let tests reach every failure path of the game, through
// the hooks table core refers to: linked in, it is in place before any display object is made.

#include <cstring>

#include "platform/testing.h"

#include <algorithm>
#include <array>
#include <vector>

#include "objects.h"

namespace platform::testing {

namespace {

struct PlannedFailure {
  int calls_to_pass = 0;  // calls that still succeed before the failures begin
  int failures = 0;       // calls that fail after them
};

std::array<PlannedFailure, hooked_call_count> plan{};
std::vector<const Surface*> failing_sources;
int pitch_padding = 0;
int live_count = 0;

bool call_fails(HookedCall call) {
  PlannedFailure& planned = plan[static_cast<int>(call)];
  if (planned.failures == 0) return false;
  if (planned.calls_to_pass > 0) {
    --planned.calls_to_pass;
    return false;
  }
  --planned.failures;
  return true;
}

bool blit_fails_from(const Surface* source) {
  return std::find(failing_sources.begin(), failing_sources.end(), source) != failing_sources.end();
}

}  // namespace

}  // namespace platform::testing

namespace platform {
const TestHooks test_hooks{testing::call_fails, testing::blit_fails_from, [] { return testing::pitch_padding; },
                           [](int delta) { testing::live_count += delta; }};
}  // namespace platform

namespace platform::testing {

void fail_call(Call call, int nth, int times) {
  plan[static_cast<int>(call)] = PlannedFailure{std::max(nth - 1, 0), std::max(times, 0)};
}

void fail_blits_from(const Surface* source) { failing_sources.push_back(source); }

void clear_failures() {
  plan.fill(PlannedFailure{});
  failing_sources.clear();
}

void set_extra_pitch(int bytes) { pitch_padding = std::max(bytes, 0); }

int live_objects() { return live_count; }

void reset_windows() { window_manager = WindowManager{}; }

std::uint8_t pixel(const Surface* surface, int x, int y) {
  return surface->memory[static_cast<std::size_t>(y) * surface->pitch + x];
}

int surface_pitch(const Surface* surface) { return surface->pitch; }

bool same_pixels(const Surface* a, const Surface* b) {
  if (a->width != b->width || a->height != b->height) return false;
  for (int y = 0; y < a->height; ++y) {
    const std::uint8_t* row_a = a->memory.data() + static_cast<std::size_t>(y) * a->pitch;
    const std::uint8_t* row_b = b->memory.data() + static_cast<std::size_t>(y) * b->pitch;
    if (std::memcmp(row_a, row_b, static_cast<std::size_t>(a->width)) != 0) return false;
  }
  return true;
}

}  // namespace platform::testing
