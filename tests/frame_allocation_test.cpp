// A frame allocates nothing: every text is formatted into a fixed buffer, every surface exists
// from start-up on. Counted by replacing the global allocation functions in this test program.

#include <cstdlib>
#include <new>

#include "game_fixture.h"

namespace {
bool counting = false;
int allocations = 0;
}  // namespace

void* operator new(std::size_t size) {
  if (counting) ++allocations;
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

namespace {

TEST_F(GameTest, FramesOfPlayAllocateNothing) {
  set_draw_observer(nullptr);  // the log itself allocates; the game must not
  const platform::KeySet turns[] = {{VK_RIGHT, VK_DOWN}, {VK_LEFT}, {VK_SPACE, VK_UP}, {}, {VK_RETURN},
                                    {VK_UP},             {VK_ESCAPE}};
  int completed = 0;
  for (int frame = 0; frame < 400; ++frame) {
    hold(turns[(frame / 25) % 7]);
    counting = true;
    completed += rink_frame();
    counting = false;
  }
  EXPECT_EQ(allocations, 0);
  EXPECT_EQ(completed, 400);
}

}  // namespace
