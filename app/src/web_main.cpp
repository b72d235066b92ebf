// The game in a web page: the shell over the browser's backend and its sound, with a key script
// played back when the page's address names one. The browser's own loop runs the game a pass at
// a time (WebBackend::run), so nothing here blocks: main starts the game and returns, and the
// game goes when it ends. The page is told why it ended.

#include <cstdio>
#include <optional>
#include <string>

#include "app/main_loop.h"
#include "app/options.h"
#include "platform/draw.h"
#include "platform/key_sessions.h"
#include "platform/web_audio.h"
#include "platform/web_backend.h"
#include "platform/web_script.h"

namespace {

// What the page says when the game has ended.
std::string end_reason(int exit_code, const platform::KeyPlayback* playback) {
  if (exit_code != 0) return std::string("The game could not start: ") + platform::last_error() + ".";
  if (playback != nullptr && playback->ended() && !playback->handed_over()) return "The key script has ended.";
  return "Escape ended the game.";
}

// The page's game, from its options to its end; it deletes itself when it has ended.
class PageSession final : public platform::PageGame {
 public:
  void begin();
  platform::NextPass pass() override;
  void end() override;

 private:
  // Starts the game, playing `script` when there is one.
  void play(std::optional<std::vector<platform::KeySet>> script);
  // The game did not start: the page says why.
  void refuse();
  // Whether the page rests before a poll of a wait: not while a script's lines answer it.
  bool rests_in_waits() const { return !playback_ || playback_->handed_over(); }

  platform::WebBackend screen_;
  platform::ScriptEnd at_end_{};
  std::optional<platform::ScriptedKeys> keys_;
  std::optional<platform::KeyPlayback> playback_;
  platform::WebAudio audio_;
  std::optional<PlayedGame> game_;
  bool started_ = false;
};

void PageSession::begin() {
  std::optional<std::string> script;
  if (!screen_.load_page_options(script, at_end_)) return refuse();
  if (!script) return play(std::nullopt);
  platform::fetch_key_script(*script, [this, name = *script](platform::LoadedScript read) {
    if (!screen_.accept_script(name, read)) return refuse();
    play(std::move(read.lines));
  });
}

void PageSession::refuse() {
  std::fprintf(stderr, "rink: %s\n", platform::last_error());
  screen_.report_end(end_reason(2, nullptr).c_str());
  delete this;
}

void PageSession::play(std::optional<std::vector<platform::KeySet>> script) {
  platform::Backend* backend = &screen_;
  if (script) backend = &playback_.emplace(screen_, keys_.emplace(std::move(*script)), at_end_);
  audio_.set_volume(default_volume);
  // A played script's keys are not the viewer's: no start hints, and banners that name no key.
  const GuideOptions guide{&screen_.overlay(), screen_.hints(), !script};
  game_.emplace(screen_.players(), *backend, audio_, guide);
  started_ = game_->shell().start(nullptr);
  screen_.run(*this);
}

platform::NextPass PageSession::pass() {
  using After = platform::NextPass::After;
  if (!started_) return {After::end};
  const LoopRest rest = game_->shell().pass();
  switch (rest.kind) {
    case LoopRest::Kind::quit: return {After::end};
    case LoopRest::Kind::pace: return {After::pace, rest.value};
    case LoopRest::Kind::wait: return rests_in_waits() ? platform::NextPass{After::input_or_idle, rest.value}
                                                       : platform::NextPass{After::now};
    case LoopRest::Kind::none: break;
  }
  return {After::now};
}

void PageSession::end() {
  const int exit_code = game_->shell().finish();
  game_.reset();
  screen_.report_end(end_reason(exit_code, playback_ ? &*playback_ : nullptr).c_str());
  delete this;
}

}  // namespace

int main() {
  (new PageSession)->begin();  // the session deletes itself when the game has ended
  return 0;
}
