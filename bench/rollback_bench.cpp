// What rollback costs an online player: two sides of a match whose keys reach each other a pass
// and a half late (150 ms round trip at ten passes a second), keys changing every few passes as
// a player's do. The counter `restep_core_share` is the processor time of taking the other
// side's keys, the passes stepped again with them included, as a share of one core over the
// match time stepped (each pass being a tenth of a second).

#include <benchmark/benchmark.h>

#include <ctime>
#include <deque>
#include <random>

#include "app/rollback.h"
#include "game_fixture.h"

namespace {

double thread_seconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// A player's keys: held for one to six passes, then another choice.
class HeldKeys {
 public:
  HeldKeys(std::initializer_list<platform::KeySet> choices, unsigned seed) : choices_(choices), random_(seed) {}
  const platform::KeySet& next() {
    if (held_ == 0) {
      current_ = random_() % choices_.size();
      held_ = 1 + static_cast<int>(random_() % 6);
    }
    --held_;
    return choices_[current_];
  }

 private:
  std::vector<platform::KeySet> choices_;
  std::mt19937 random_;
  std::size_t current_ = 0;
  int held_ = 0;
};

struct InFlight {
  std::uint32_t arrives;  // the pass after which the other side has it
  std::uint32_t frame;
  platform::KeySet keys;
};

struct Side {
  explicit Side(int seat) : game(2), rollback(game.match, seat, game.display) { game.match.canvas.observer = nullptr; }

  // Takes what has arrived by PASS; returns the processor time it took.
  double take(std::deque<InFlight>& line, std::uint32_t pass) {
    const double start = thread_seconds();
    while (!line.empty() && line.front().arrives <= pass) {
      rollback.receive(line.front().frame, line.front().keys);
      line.pop_front();
    }
    return thread_seconds() - start;
  }

  HeadlessGame game;
  RollbackMatch rollback;
};

void BM_RollbackAt150msRoundTrip(benchmark::State& state) {
  Side one(1), two(2);
  HeldKeys ones({{VK_RIGHT}, {VK_SPACE}, {VK_UP, VK_LEFT}, {VK_D}, {}}, 3);
  HeldKeys twos({{VK_P2_LEFT}, {VK_P2_SHOOT}, {VK_P2_DOWN}, {VK_D, VK_P2_CHECK}, {}}, 4);
  std::deque<InFlight> to_one, to_two;
  double restep_seconds = 0;
  std::uint32_t pass = 0;
  for (auto _ : state) {
    // 75 ms each way: a pass and a half, so keys arrive one or two passes after they were sent.
    const std::uint32_t delay = 1 + pass % 2;
    const platform::KeySet& a = ones.next();
    const platform::KeySet& b = twos.next();
    one.rollback.step_local(a);
    two.rollback.step_local(b);
    to_two.push_back({pass + delay, pass, a});
    to_one.push_back({pass + delay, pass, b});
    restep_seconds += one.take(to_one, pass) + two.take(to_two, pass);
    ++pass;
  }
  const double match_seconds = pass * (frame_pause_ms / 1000.0);
  state.counters["restep_core_share"] = restep_seconds / 2 / match_seconds;  // per side
  state.counters["rollbacks_per_pass"] =
      static_cast<double>(one.rollback.rollbacks() + two.rollback.rollbacks()) / 2 / pass;
}
BENCHMARK(BM_RollbackAt150msRoundTrip)->Iterations(3000);

}  // namespace
