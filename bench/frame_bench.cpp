// How fast the game's hot paths run. These numbers are for reading; no test depends on them.
// A whole frame is measured from a position of a recorded match, headless and on SDL's dummy
// screen (where the flip converts, uploads and presents), next to the floor: copying the bytes
// a frame must move at all.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "game_fixture.h"
#include "screen_game.h"

namespace {

constexpr int replayed_passes = 600;

std::vector<platform::KeySet> golden_lines() {
  return platform::load_key_script(RINK_REPLAY_DATA "/golden.keys").lines;
}

// The match as it stands after the first passes of the recorded session.
Match replayed_position() {
  const std::vector<platform::KeySet> lines = golden_lines();
  HeadlessGame game;
  game.match.canvas.observer = nullptr;
  for (std::size_t pass = 0; pass < lines.size() && pass < replayed_passes; ++pass) {
    game.backend.hold_keys(lines[pass]);
    play_frame(game.match);
  }
  return game.match;
}

// A game whose match stands at the replayed position, drawing without a log.
struct PositionedGame : HeadlessGame {
  PositionedGame() {
    const Canvas canvas = match.canvas;
    match = replayed_position();
    match.canvas = canvas;
    match.canvas.observer = nullptr;
  }
};

// Player one skates around from there; the keys change every 40 frames.
const platform::KeySet moves[] = {{VK_RIGHT}, {VK_DOWN}, {VK_LEFT, VK_UP}, {VK_UP}, {VK_RIGHT, VK_DOWN}};

void BM_Frame(benchmark::State& state) {
  PositionedGame game;
  int frame = 0;
  for (auto _ : state) {
    game.backend.hold_keys(moves[(frame++ / 40) % 5]);
    benchmark::DoNotOptimize(play_frame(game.match));
  }
}
BENCHMARK(BM_Frame);

// What rolling back costs: a copy of the match with the picture in its back buffer, and eight
// passes stepped again from one with their drawing (a re-step presents nothing).
void BM_CopyMatch(benchmark::State& state) {
  PositionedGame game;
  Match copy = game.match;
  copy.canvas = spare_canvas(game.display);
  for (auto _ : state) {
    restore(copy, game.match);
    benchmark::DoNotOptimize(copy.player_x);
  }
  release_spare(copy.canvas);
}
BENCHMARK(BM_CopyMatch);

void BM_EightPassesSteppedAgain(benchmark::State& state) {
  PositionedGame game;
  const std::vector<platform::KeySet> lines = golden_lines();
  Match saved = game.match;
  saved.canvas = spare_canvas(game.display);
  restore(saved, game.match);
  game.match.canvas.screen = nullptr;
  for (auto _ : state) {
    restore(game.match, saved);
    for (std::size_t pass = 0; pass < 8; ++pass) {
      benchmark::DoNotOptimize(step(game.match, split_keys(lines[replayed_passes + pass])));
    }
  }
  release_spare(saved.canvas);
}
BENCHMARK(BM_EightPassesSteppedAgain);

// Nobody holds a key on the dummy screen; the computer and the goalies still move. For
// comparison, the flip can convert the whole picture every frame.
void frames_on_screen(benchmark::State& state, bool convert_everything) {
  const Match position = replayed_position();
  ScreenGame game;
  game.backend.picture().convert_everything_always(convert_everything);
  restore(game.match, position);
  for (auto _ : state) benchmark::DoNotOptimize(play_frame(game.match));
}
void BM_FrameOnScreen(benchmark::State& state) { frames_on_screen(state, false); }
void BM_FrameOnScreenConvertingAll(benchmark::State& state) { frames_on_screen(state, true); }
BENCHMARK(BM_FrameOnScreen);
BENCHMARK(BM_FrameOnScreenConvertingAll);

// The bytes every frame moves: the rink copied over the back buffer and the whole picture in
// 32-bit colour.
void BM_FrameFloor(benchmark::State& state) {
  constexpr std::size_t rink_bytes = 640 * 480;
  constexpr std::size_t picture_bytes = 640 * 480 * 4;
  std::vector<char> from(rink_bytes + picture_bytes, 1), to(rink_bytes + picture_bytes, 0);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), rink_bytes);
    std::memcpy(to.data() + rink_bytes, from.data() + rink_bytes, picture_bytes);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FrameFloor);

void BM_BackgroundCopy(benchmark::State& state) {
  HeadlessGame game;
  Canvas canvas = canvas_of(game.display);
  for (auto _ : state) benchmark::DoNotOptimize(blit_background(canvas));
}
BENCHMARK(BM_BackgroundCopy);

void BM_KeyedSprite(benchmark::State& state) {
  HeadlessGame game;
  Canvas canvas = canvas_of(game.display);
  for (auto _ : state) benchmark::DoNotOptimize(blit_sprite(canvas, SpriteId::firstplayerone, 300, 200));
}
BENCHMARK(BM_KeyedSprite);

void BM_ScoreText(benchmark::State& state) {
  HeadlessGame game;
  Canvas canvas = canvas_of(game.display);
  for (auto _ : state) {
    draw_text(canvas, 10, 450, colour_blue, "Player One Score: 7 ");
    present_frame(canvas);
  }
}
BENCHMARK(BM_ScoreText);

// Reading the 39 bitmaps into their surfaces, with the display objects around them.
void BM_StartUp(benchmark::State& state) {
  HeadlessGame game;
  for (auto _ : state) {
    rink_teardown(game.display);
    platform::Random random;
    benchmark::DoNotOptimize(rink_startup(game.display, random));
  }
}
BENCHMARK(BM_StartUp);

// The console table, remembering each benchmark's median for the ratios printed after it.
class MedianReporter : public benchmark::ConsoleReporter {
 public:
  MedianReporter() : ConsoleReporter(OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.aggregate_name == "median") medians_[run.run_name.function_name] = run.GetAdjustedRealTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }

  void print_ratio(const char* name, const char* floor) const {
    const auto a = medians_.find(name), b = medians_.find(floor);
    if (a != medians_.end() && b != medians_.end() && b->second > 0) {
      std::printf("%s / %s = %.2f\n", name, floor, a->second / b->second);
    }
  }

 private:
  std::map<std::string, double> medians_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  MedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.print_ratio("BM_FrameOnScreen", "BM_FrameFloor");
  reporter.print_ratio("BM_FrameOnScreenConvertingAll", "BM_FrameFloor");
  reporter.print_ratio("BM_Frame", "BM_FrameFloor");
  benchmark::Shutdown();
  return 0;
}
