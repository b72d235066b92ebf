// The game in a web page: the shell over the browser's backend and its sound, with a key script
// played back when the page's address names one, or a match with a friend through a relay when
// it asks for online play (web_online.h). The browser's own loop runs the game a pass at a time
// (WebBackend::run), so nothing here blocks: main starts the game and returns, and the game goes
// when it ends. The page is told why it ended.

#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "app/main_loop.h"
#include "app/online_game.h"
#include "app/options.h"
#include "app/web_online.h"
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

// What the page says when an online match has ended: why it could not start or why it stopped
// (the other player left, the relay refused, the games went apart), else that it ended (Escape).
std::string online_end_reason(const OnlineGame& online) {
  if (online.why().empty()) return "The online match has ended.";
  return (online.code().empty() ? "Online play could not start: " : "Online play has ended: ") + online.why() + ".";
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
  // Starts the game for PLAYERS over BACKEND, told over the pictures as GUIDE says, played by
  // DRIVER when there is one: the page's loop runs it a step a task (start_step).
  void start(int players, platform::Backend& backend, const GuideOptions& guide, MatchDriver* driver);
  // The game's next step before its first pass: its sounds, then each step of the shell's start.
  platform::NextPass start_step();
  // Starts a match with a friend through the relay the page's address asks for.
  void play_online();
  // Once the relay has given this side its seat, the page shows the room.
  void show_room();
  // Whether the page rests before a poll of a wait: not while a script's lines answer it.
  bool rests_in_waits() const { return !playback_ || playback_->handed_over(); }

  platform::WebBackend screen_;
  platform::ScriptEnd at_end_{};
  std::optional<platform::ScriptedKeys> keys_;
  std::optional<platform::KeyPlayback> playback_;
  platform::WebAudio audio_;
  std::optional<PageOnline> online_asked_;
  std::unique_ptr<OnlineGame> online_;
  bool room_shown_ = false;
  // What start() was given, until the game is made from it.
  struct GameToMake {
    int players;
    platform::Backend* backend;
    GuideOptions guide;
    MatchDriver* driver;
  };
  std::optional<GameToMake> to_make_;
  std::optional<PlayedGame> game_;
  bool started_ = false;
};

void PageSession::begin() {
  std::optional<std::string> script;
  if (!screen_.load_page_options(script, at_end_)) return refuse();
  std::string why;
  if (!read_page_online(online_asked_, why)) {
    platform::set_last_error(why.c_str());
    return refuse();
  }
  if (online_asked_ && script) {
    platform::set_last_error("online play is played with the keys, not a key script: leave out ?play=");
    return refuse();
  }
  if (online_asked_) return play_online();
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
  // A played script's keys are not the viewer's: no start hints, and banners that name no key.
  start(screen_.players(), *backend, {&screen_.overlay(), screen_.hints(), !script}, nullptr);
}

void PageSession::start(int players, platform::Backend& backend, const GuideOptions& guide, MatchDriver* driver) {
  audio_.set_volume(default_volume);
  to_make_ = GameToMake{players, &backend, guide, driver};
  screen_.run(*this);
}

platform::NextPass PageSession::start_step() {
  using After = platform::NextPass::After;
  if (!game_) {
    game_.emplace(to_make_->players, *to_make_->backend, audio_, to_make_->guide, to_make_->driver);
    to_make_.reset();
    return {After::now};
  }
  switch (game_->shell().start_step(nullptr)) {
    case GameShell::Start::going: return {After::now};
    case GameShell::Start::failed: return {After::end};
    case GameShell::Start::done: break;
  }
  started_ = true;
  return {After::now};
}

void PageSession::play_online() {
  online_ = std::make_unique<OnlineGame>(std::make_unique<WebRelayLink>(online_asked_->relay), online_asked_->role,
                                         online_asked_->room);
  online_->show_on(&screen_.overlay());
  // Each side's keys (and touch controls) play its own player, as in a one-player game; a
  // spectator's play none. The seat is the relay's to give, and comes once the game has started
  // (a player who comes back by the code is given the seat it left, one or two).
  const GuideOptions guide{.overlay = &screen_.overlay(),
                           .hints = screen_.hints(),
                           .keys_are_the_viewers = online_asked_->role != OnlineRole::watch};
  start(2, screen_, guide, online_.get());
}

void PageSession::show_room() {
  if (room_shown_ || online_->code().empty()) return;
  room_shown_ = true;
  platform::show_page_room(online_->code(), online_->seat());
}

platform::NextPass PageSession::pass() {
  using After = platform::NextPass::After;
  if (!started_) return start_step();
  const LoopRest rest = game_->shell().pass();
  if (online_) show_room();
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
  const bool online = online_ && started_;
  const std::string reason = online ? online_end_reason(*online_)
                                    : end_reason(exit_code, playback_ ? &*playback_ : nullptr);
  online_.reset();  // the connection closes
  screen_.report_end(reason.c_str());
  delete this;
}

}  // namespace

int main() {
  (new PageSession)->begin();  // the session deletes itself when the game has ended
  return 0;
}
