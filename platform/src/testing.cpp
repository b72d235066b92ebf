// Failure injection and counters that let tests reach every failure path of the game.

#include <algorithm>
#include <vector>

#include "objects.h"

namespace platform {

namespace {

struct PlannedFailure {
  int calls_to_pass = 0;  // calls that still succeed before the failures begin
  int failures = 0;       // calls that fail after them
};

constexpr int call_kinds = static_cast<int>(testing::Call::create_window) + 1;
std::array<PlannedFailure, call_kinds> plan{};
std::vector<const Surface*> failing_sources;
int pitch_padding = 0;
int live_count = 0;

}  // namespace

bool injected_failure(testing::Call call) {
  PlannedFailure& planned = plan[static_cast<int>(call)];
  if (planned.failures == 0) return false;
  if (planned.calls_to_pass > 0) {
    --planned.calls_to_pass;
    return false;
  }
  --planned.failures;
  return true;
}

bool blits_fail_from(const Surface* source) {
  return std::find(failing_sources.begin(), failing_sources.end(), source) != failing_sources.end();
}

int extra_pitch() { return pitch_padding; }

void count_object(int delta) { live_count += delta; }

namespace testing {

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

std::uint8_t pixel(const Surface* surface, int x, int y) {
  return surface->memory[static_cast<std::size_t>(y) * surface->pitch + x];
}

int surface_pitch(const Surface* surface) { return surface->pitch; }

}  // namespace testing

}  // namespace platform
