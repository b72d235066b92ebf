// How fast the game's hot paths run over the headless backend. These numbers are for reading;
// no test depends on them.

#include <benchmark/benchmark.h>

#include "game_fixture.h"

namespace {

// One whole frame while player one skates around the rink (the keys change every 40 frames).
void BM_Frame(benchmark::State& state) {
  HeadlessGame game;
  const platform::KeySet moves[] = {{VK_RIGHT}, {VK_DOWN}, {VK_LEFT, VK_UP}, {VK_UP}, {VK_RIGHT, VK_DOWN}};
  set_draw_observer(nullptr);
  int frame = 0;
  for (auto _ : state) {
    game.backend.hold_keys(moves[(frame++ / 40) % 5]);
    benchmark::DoNotOptimize(rink_frame());
  }
}
BENCHMARK(BM_Frame);

void BM_BackgroundCopy(benchmark::State& state) {
  HeadlessGame game;
  set_draw_observer(nullptr);
  for (auto _ : state) benchmark::DoNotOptimize(blit_background());
}
BENCHMARK(BM_BackgroundCopy);

void BM_KeyedSprite(benchmark::State& state) {
  HeadlessGame game;
  set_draw_observer(nullptr);
  for (auto _ : state) benchmark::DoNotOptimize(blit_sprite(SpriteId::firstplayerone, 300, 200));
}
BENCHMARK(BM_KeyedSprite);

void BM_ScoreText(benchmark::State& state) {
  HeadlessGame game;
  set_draw_observer(nullptr);
  for (auto _ : state) {
    draw_text(10, 450, colour_blue, "Player One Score: 7 ");
    present_frame();
  }
}
BENCHMARK(BM_ScoreText);

void BM_StartUp(benchmark::State& state) {
  for (auto _ : state) HeadlessGame game;
}
BENCHMARK(BM_StartUp);

}  // namespace

BENCHMARK_MAIN();
