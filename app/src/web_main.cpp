// The game in a web page: the shell over the browser's backend and its sound, with a key script
// played back when the page's address names one.

#include <cstdio>
#include <optional>

#include "app/main_loop.h"
#include "app/options.h"
#include "platform/draw.h"
#include "platform/key_sessions.h"
#include "platform/web_audio.h"
#include "platform/web_backend.h"
#include "sim/match_state.h"

int main() {
  platform::WebBackend screen;
  std::optional<std::vector<platform::KeySet>> script;
  if (!screen.load_page_options(script)) {
    std::fprintf(stderr, "rink: %s\n", platform::last_error());
    return 2;
  }
  set_players(screen.players());
  platform::Backend* backend = &screen;
  std::optional<platform::ScriptedKeys> keys;
  std::optional<platform::KeyPlayback> playback;
  if (script) backend = &playback.emplace(screen, keys.emplace(std::move(*script)), platform::ScriptEnd::end_game);

  platform::WebAudio audio;
  audio.set_volume(default_volume);
  return play_game(*backend, audio);
}
