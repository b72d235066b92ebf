// The game in a web page: the shell over the browser's backend and its sound, with a key script
// played back when the page's address names one. The page is told why the game ended.

#include <cstdio>
#include <optional>
#include <string>

#include "app/main_loop.h"
#include "app/options.h"
#include "platform/draw.h"
#include "platform/key_sessions.h"
#include "platform/web_audio.h"
#include "platform/web_backend.h"

namespace {

// What the page says when the game has ended.
std::string end_reason(int exit_code, const platform::KeyPlayback* playback) {
  if (exit_code != 0) return std::string("The game could not start: ") + platform::last_error() + ".";
  if (playback != nullptr && playback->ended() && !playback->handed_over()) return "The key script has ended.";
  return "Escape ended the game.";
}

}  // namespace

int main() {
  platform::WebBackend screen;
  std::optional<std::vector<platform::KeySet>> script;
  platform::ScriptEnd at_end{};
  if (!screen.load_page_options(script, at_end)) {
    std::fprintf(stderr, "rink: %s\n", platform::last_error());
    screen.report_end(end_reason(2, nullptr).c_str());
    return 2;
  }
  platform::Backend* backend = &screen;
  std::optional<platform::ScriptedKeys> keys;
  std::optional<platform::KeyPlayback> playback;
  if (script) backend = &playback.emplace(screen, keys.emplace(std::move(*script)), at_end);

  platform::WebAudio audio;
  audio.set_volume(default_volume);
  // A played script's keys are not the viewer's: no start hints, and banners that name no key.
  const GuideOptions guide{&screen.overlay(), screen.hints(), !script};
  const int exit_code = play_game(screen.players(), *backend, audio, guide);
  screen.report_end(end_reason(exit_code, playback ? &*playback : nullptr).c_str());
  return exit_code;
}
