// The game as a player's screen shows it: `rink` full screen on a private X server (Xvfb, no
// window manager) through its window surface (SDL_RENDER_DRIVER=software), playing the golden
// session's keys, on a 1920 by 1080 and a 3840 by 2160 screen. For each: the time from the start
// to the first picture, the frame period (100 ms of pause plus a frame with its present), and the
// processor use while it plays, of the game and of the X server that copies what the game sends.
// Printed beside the figures measured before the picture filled the screen. For reading; no test
// depends on them.
//   rink-screen-bench [RINK]   (RINK: the program to measure; by default this build's `rink`)

#include <algorithm>
#include <cstdio>
#include <string>

#include "rink_session.h"

namespace {

using namespace e2e;

struct Figures {
  double launch_ms;
  double period_ms;
  double game_percent;
  double server_percent;
};

struct Screen {
  int width;
  int height;
  Figures before;
};

// The medians of three runs of this benchmark on the release build of 2026-12-07, before the
// picture filled the screen: whole factors, through SDL's software renderer, whose window
// surface SDL put behind an OpenGL texture (Mesa's llvmpipe). The 2-core development machine
// was busy with other builds (load 3 to 5), as it was for the figures after.
constexpr Screen screens[] = {{1920, 1080, {453, 115.5, 13.8, 0.5}}, {3840, 2160, {530, 145.6, 40.8, 1.5}}};

// The ice between the left blue line and the centre circle, wherever the picture is placed and
// however it is scaled: the first picture has come.
bool shows_ice(const XScreen& screen, int width, int height) {
  const int side = height / 25;
  const Image ice = screen.grab({width / 2 - height * 13 / 100 - side / 2, height / 2 - side / 2, side, side});
  int light = 0;
  for (const Rgb pixel : ice.pixels) light += (pixel >> 16 & 0xFF) > 200 && (pixel & 0xFF) > 200;
  return light * 10 > static_cast<int>(ice.pixels.size()) * 9;
}

std::size_t lines_in(const std::filesystem::path& file) {
  const std::string text = file_text(file);
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

// The moment a pass of the game's loop has just begun: its line of keys was just written.
struct Moment {
  Clock::time_point when;
  std::size_t passes;
  double game_seconds;
  double server_seconds;
};

Moment next_pass(const std::filesystem::path& recording, pid_t game, pid_t server) {
  const std::size_t now = lines_in(recording);
  Moment moment{};
  poll_until(1s, [&] { return (moment.passes = lines_in(recording)) > now; }, 1ms);
  moment.when = Clock::now();
  moment.game_seconds = processor_seconds(game);
  moment.server_seconds = processor_seconds(server);
  return moment;
}

// The golden session's first goal comes in its 147th pass: the play measured ends well before.
std::optional<Figures> measure(const std::string& rink, int width, int height) {
  const XScreen screen(width, height);
  const TemporaryDirectory work;
  const std::filesystem::path recording = work.path() / "played.keys";
  const Clock::time_point start = Clock::now();
  Process game({.argv = {rink, "--play", RINK_REPLAY_DATA "/golden.keys", "--record", recording.string()},
                .environment = screen.environment({"SDL_RENDER_DRIVER=software"}),
                .stderr_path = (work.path() / "stderr.txt").string(),
                .working_directory = work.path().string()});
  if (!poll_until(10s, [&] { return shows_ice(screen, width, height); }, 1ms)) return std::nullopt;
  const double launch = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  std::this_thread::sleep_for(1s);
  const Moment from = next_pass(recording, game.pid(), screen.server_pid());
  std::this_thread::sleep_for(10s);
  const Moment to = next_pass(recording, game.pid(), screen.server_pid());
  game.stop();
  const double seconds = std::chrono::duration<double>(to.when - from.when).count();
  if (to.passes <= from.passes || seconds <= 0) return std::nullopt;
  return Figures{launch, 1000 * seconds / static_cast<double>(to.passes - from.passes),
                 100 * (to.game_seconds - from.game_seconds) / seconds,
                 100 * (to.server_seconds - from.server_seconds) / seconds};
}

}  // namespace

int main(int argc, char** argv) {
  const std::string rink = argc > 1 ? argv[1] : build_file("rink").string();
  std::printf("%-10s %-20s %-20s %-20s %-20s\n", "screen", "start to picture", "frame period", "game's processor",
              "X server's");
  for (const Screen& size : screens) {
    const std::optional<Figures> now = measure(rink, size.width, size.height);
    if (!now) {
      std::fprintf(stderr, "rink-screen-bench: the game did not play on a %dx%d screen\n", size.width, size.height);
      return 1;
    }
    const Figures& was = size.before;
    char name[24];
    std::snprintf(name, sizeof name, "%dx%d", size.width, size.height);
    std::printf("%-10s %4.0f ms (was %4.0f) %5.1f ms (was %5.1f) %5.1f %% (was %4.1f) %5.1f %% (was %4.1f)\n", name,
                now->launch_ms, was.launch_ms, now->period_ms, was.period_ms, now->game_percent, was.game_percent,
                now->server_percent, was.server_percent);
  }
  return 0;
}
