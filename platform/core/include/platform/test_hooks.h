#pragma once
// The few places where a test may change what the platform's calls do: a table of hooks that
// only the tests' platform_testing defines. Core refers to it weakly, so in the game, which links
// no platform_testing, the table's address is null and each hooked place costs one test of it.

namespace platform {

struct Surface;

// The calls a test can make fail.
enum class HookedCall {
  direct_draw_create,
  query_interface,
  set_cooperative_level,
  set_display_mode,
  create_surface,
  get_attached_surface,
  create_palette,
  set_palette,
  set_entries,
  create_clipper,
  set_clip_list,
  set_clipper,
  lock,
  unlock,
  get_dc,
  flip,
  register_class,
  create_window,
};
constexpr int hooked_call_count = static_cast<int>(HookedCall::create_window) + 1;

struct TestHooks {
  bool (*call_fails)(HookedCall call);             // this call of that kind fails
  bool (*blit_fails_from)(const Surface* source);  // a blit from this surface fails
  int (*extra_pitch)();                            // bytes added to the rows of a new surface
  void (*objects_changed)(int delta);              // display objects made (+1) or freed (-1)
};

// Defined by platform_testing; core declares it weak (objects.h).
extern const TestHooks test_hooks;

}  // namespace platform
