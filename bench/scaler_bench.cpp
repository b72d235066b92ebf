// How long the sharp scaler takes to bring the picture onto a few common screens: all of it, as
// after a resize, and a change the size of a skater, as most frames of play bring. These numbers
// are for reading; no test depends on them.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "platform/sharp_scaler.h"

namespace {

void scale(benchmark::State& state, const platform::Rect& changed) {
  const auto width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
  std::vector<std::uint32_t> picture(640 * 480), screen(static_cast<std::size_t>(width) * height);
  for (std::size_t i = 0; i < picture.size(); ++i) picture[i] = static_cast<std::uint32_t>(i * 2654435761u) >> 8;
  platform::SharpScaler scaler;
  scaler.resize(platform::ScaleMode::sharp, width, height, 640, 480);
  const platform::ScreenPixels pixels{screen.data(), width * 4, platform::xrgb8888};
  for (auto _ : state) benchmark::DoNotOptimize(scaler.scale_changed(picture.data(), changed, pixels));
}

void BM_ScaleWholePicture(benchmark::State& state) { scale(state, {0, 0, 640, 480}); }
BENCHMARK(BM_ScaleWholePicture)->Args({1280, 960})->Args({1440, 900})->Args({1920, 1080})->Args({3840, 2160});

void BM_ScaleSkaterSizedChange(benchmark::State& state) { scale(state, {300, 200, 340, 250}); }
BENCHMARK(BM_ScaleSkaterSizedChange)->Args({1440, 900})->Args({3840, 2160});

}  // namespace
