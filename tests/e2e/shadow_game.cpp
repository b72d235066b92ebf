#include "shadow_game.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "app/main_loop.h"
#include "platform/headless.h"

namespace e2e {

// The lines of the growing script through the game's own reader, each as soon as it is whole.
class ShadowGame::GrowingScript : public platform::KeySource {
 public:
  explicit GrowingScript(ShadowGame& game) : game_(game) {}
  ~GrowingScript() override {
    if (fd_ >= 0) close(fd_);
  }

  // False once the test stops the twin.
  bool next_line(For what, platform::KeySet& keys) override {
    if (what == For::wait) game_.publish(true);
    for (;;) {
      switch (reader_.next(keys)) {
        case platform::KeyScriptReader::Step::line: return true;
        case platform::KeyScriptReader::Step::more: break;
        case platform::KeyScriptReader::Step::end:
        case platform::KeyScriptReader::Step::failed:
          ADD_FAILURE() << "the recording cannot be followed: " << reader_.error();
          return false;
      }
      if (stopped() || !read_more()) std::this_thread::sleep_for(2ms);
      if (stopped()) return false;
    }
  }

 private:
  bool read_more() {
    if (fd_ < 0) fd_ = open(game_.script_.c_str(), O_RDONLY | O_CLOEXEC);
    char buffer[4096];
    const ssize_t got = fd_ < 0 ? 0 : read(fd_, buffer, sizeof buffer);
    if (got > 0) reader_.feed(std::string_view(buffer, static_cast<std::size_t>(got)));
    return got > 0;
  }

  bool stopped() {
    std::lock_guard<std::mutex> guard(game_.lock_);
    return game_.stopping_;
  }

  ShadowGame& game_;
  int fd_ = -1;
  platform::KeyScriptReader reader_;
};

class ShadowGame::Watcher : public LoopObserver {
 public:
  explicit Watcher(ShadowGame& game) : game_(game) {}
  void on_start(Match& match) override { game_.match_ = &match; }
  void after_frame(int) override { game_.publish(false); }

 private:
  ShadowGame& game_;
};

ShadowGame::ShadowGame(std::filesystem::path script, int players)
    : script_(std::move(script)), players_(players), thread_([this] { run(); }) {}

ShadowGame::~ShadowGame() {
  {
    std::lock_guard<std::mutex> guard(lock_);
    stopping_ = true;
  }
  thread_.join();
}

// The real game's start-up and loop over the recorded keys, with the same bitmaps (beside the
// test, in the build tree) and so the same random numbers.
void ShadowGame::run() {
  GrowingScript keys(*this);
  platform::HeadlessBackend backend;
  backend.play(keys);
  Watcher watcher(*this);
  platform::use_backend(&backend);
  win_main(nullptr, {players_, &watcher, nullptr, nullptr});
  platform::use_backend(nullptr);
}

void ShadowGame::publish(bool waiting) {
  std::lock_guard<std::mutex> guard(lock_);
  if (!waiting) ++view_.frames;
  view_.waiting = waiting;
  view_.match = *match_;
  view_.player_two = match_->player_two;
  changed_.notify_all();
}

std::optional<ShadowGame::View> ShadowGame::next(int frames, Milliseconds limit) {
  std::unique_lock<std::mutex> guard(lock_);
  if (!changed_.wait_for(guard, limit, [&] { return view_.frames > frames || view_.waiting; })) return std::nullopt;
  return view_;
}

}  // namespace e2e
