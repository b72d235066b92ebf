#include "shadow_game.h"

#include <fcntl.h>
#include <unistd.h>

#include <sstream>

#include "app/main_loop.h"
#include "platform/headless.h"

namespace e2e {

// The lines of the growing script, each as soon as it is whole.
class ShadowGame::RecordedKeys : public platform::HeadlessBackend {
 public:
  explicit RecordedKeys(ShadowGame& game) : game_(game) {}
  ~RecordedKeys() override {
    if (fd_ >= 0) close(fd_);
  }

  void pump_events() override {
    if (!take_line()) platform::post_quit_message(0);
  }
  bool idle_between_polls() override {
    game_.publish(true);
    return take_line();
  }

 private:
  // Holds the keys of the script's next line; false once the test stops the twin.
  bool take_line() {
    for (;;) {
      const std::size_t end = pending_.find('\n');
      if (end != std::string::npos) {
        std::istringstream line(pending_.substr(0, end + 1));
        pending_.erase(0, end + 1);
        const platform::KeyScript keys = platform::parse_key_script(line);
        if (keys.lines.empty()) continue;  // a comment
        hold_keys(keys.lines.front());
        return true;
      }
      if (stopped() || !read_more()) std::this_thread::sleep_for(2ms);
      if (stopped()) return false;
    }
  }

  bool read_more() {
    if (fd_ < 0) fd_ = open(game_.script_.c_str(), O_RDONLY | O_CLOEXEC);
    char buffer[4096];
    const ssize_t got = fd_ < 0 ? 0 : read(fd_, buffer, sizeof buffer);
    if (got > 0) pending_.append(buffer, static_cast<std::size_t>(got));
    return got > 0;
  }

  bool stopped() {
    std::lock_guard<std::mutex> guard(game_.lock_);
    return game_.stopping_;
  }

  ShadowGame& game_;
  int fd_ = -1;
  std::string pending_;
};

class ShadowGame::Watcher : public LoopObserver {
 public:
  explicit Watcher(ShadowGame& game) : game_(game) {}
  void after_frame(int) override { game_.publish(false); }

 private:
  ShadowGame& game_;
};

ShadowGame::ShadowGame(std::filesystem::path script) : script_(std::move(script)), thread_([this] { run(); }) {}

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
  RecordedKeys keys(*this);
  Watcher watcher(*this);
  platform::use_backend(&keys);
  win_main(nullptr, &watcher);
  platform::use_backend(nullptr);
}

void ShadowGame::publish(bool waiting) {
  std::lock_guard<std::mutex> guard(lock_);
  if (!waiting) ++view_.frames;
  view_.waiting = waiting;
  view_.match = match;
  changed_.notify_all();
}

std::optional<ShadowGame::View> ShadowGame::next(int frames, Milliseconds limit) {
  std::unique_lock<std::mutex> guard(lock_);
  if (!changed_.wait_for(guard, limit, [&] { return view_.frames > frames || view_.waiting; })) return std::nullopt;
  return view_;
}

}  // namespace e2e
