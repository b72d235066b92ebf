#include "rink_session.h"

#include <stdlib.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace e2e {

Rect placement_on(int screen_width, int screen_height, platform::ScaleMode scale) {
  const platform::ScreenRect area =
      scale == platform::ScaleMode::sharp
          ? platform::fill_picture(screen_width, screen_height, picture_width, picture_height)
          : platform::fit_picture(screen_width, screen_height, picture_width, picture_height);
  return {area.x, area.y, area.width, area.height};
}

std::set<std::string> x_key_names(const platform::KeySet& keys, int players) {
  // By slot: Left Right Up Down Space Return Escape D N, then player two's Left Right Up Down
  // Shoot Check. Two players share the keyboard as README.md shows it.
  static constexpr const char* one_player[] = {"Left", "Right", "Up", "Down", "space", "Return", "Escape", "d", "n"};
  static constexpr const char* two_players[] = {"Left",   "Right", "Up", "Down", "Shift_R", "Return", "Escape", "d",
                                                "n",      "f",     "h",  "t",    "g",       "space",  "v"};
  static_assert(std::size(two_players) == platform::game_key_count);
  std::set<std::string> names;
  const std::size_t count = players == 2 ? std::size(two_players) : std::size(one_player);
  for (std::size_t slot = 0; slot < count; ++slot) {
    if (keys.count(platform::game_keys[slot]) != 0) names.insert(players == 2 ? two_players[slot] : one_player[slot]);
  }
  return names;
}

std::filesystem::path build_file(const std::string& name) {
  return std::filesystem::path(RINK_BUILD_DIR) / name;
}

std::string file_text(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TemporaryDirectory::TemporaryDirectory() {
  std::string pattern = (std::filesystem::temp_directory_path() / "rink-e2e-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a temporary directory");
  path_ = pattern;
}

TemporaryDirectory::~TemporaryDirectory() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

RinkTest::RinkTest(int screen_width, int screen_height, std::string renderer)
    : screen_(screen_width, screen_height), renderer_(std::move(renderer)) {}

// The game goes first, while its X server still runs.
RinkTest::~RinkTest() { game_.reset(); }

// In a directory of its own: the game also looks for its bitmaps in the working directory.
void RinkTest::start_game(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                          const std::vector<std::string>& environment) {
  std::vector<std::string> argv{program.string()};
  // These tests look at the game's own frames: the game shows them without the guide drawn over
  // them (the guide's own tests start a game of their own).
  if (program.filename() == "rink") argv.emplace_back("--no-hints");
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  const auto whole = std::adjacent_find(argv.begin(), argv.end(),
                                        [](const std::string& a, const std::string& b) { return a == "--scale" && b == "whole"; });
  scale_ = whole != argv.end() ? platform::ScaleMode::whole : platform::ScaleMode::sharp;
  game_ = std::make_unique<Process>(SpawnOptions{
      .argv = argv,
      .environment = game_environment(environment),
      .stdout_path = (work_.path() / "stdout.txt").string(),
      .stderr_path = (work_.path() / "stderr.txt").string(),
      .working_directory = work_.path().string()});
}

bool RinkTest::renderer_available() const {
  if (renderer_ != "opengl") return true;
  const CommandResult libraries = run_command({"/sbin/ldconfig", "-p"}, environment_with({}));
  return libraries.output.find("libGLX_mesa.so.0") != std::string::npos;
}

// What the libraries under SDL keep to the end is not reported as the game's leak; for that
// every library stays loaded to the end, so that the leak checker can name it.
Environment RinkTest::game_environment(const std::vector<std::string>& also) const {
  std::vector<std::string> set{"SDL_RENDER_DRIVER=" + renderer_, "LD_PRELOAD=" KEEP_LIBRARIES_LOADED,
                               "ASAN_OPTIONS=verify_asan_link_order=0",
                               "LSAN_OPTIONS=suppressions=" E2E_SOURCE_DIR "/lsan_suppressions.txt:print_suppressions=0"};
  set.insert(set.end(), also.begin(), also.end());
  return screen_.environment(set);
}

std::string RinkTest::renderer_given() const {
  const CommandResult probe = run_command({build_file("e2e_renderer_name").string()}, game_environment());
  std::string name = probe.output;
  if (!name.empty() && name.back() == '\n') name.pop_back();
  return name;
}

std::optional<std::string> RinkTest::game_window() const {
  const std::vector<std::string> windows = screen_.windows_titled(game_title);
  if (windows.empty()) return std::nullopt;
  return windows.back();
}

std::optional<Image> RinkTest::wait_for_rink() {
  std::optional<Image> picture;
  const bool shown = poll_until(10s, [&] {
    picture = std::nullopt;
    try {
      picture = capture_picture();
    } catch (const std::runtime_error&) {
      return false;  // no window yet, or the one just replaced
    }
    return rink_share(*picture) > 0.9;
  });
  if (!shown) {
    ADD_FAILURE() << "the game never showed the rink; its errors: " << game_errors();
    return std::nullopt;
  }
  if (const std::optional<std::string> window = game_window()) screen_.focus(*window);
  return picture;
}

Rect RinkTest::placement() const {
  const std::optional<std::string> id = game_window();
  const std::optional<Rect> window = id ? screen_.window_area(*id) : std::nullopt;
  if (!window) throw std::runtime_error("the game's window is gone");
  Rect inside = placement_on(window->width, window->height, scale_);
  inside.x += window->x;
  inside.y += window->y;
  return inside;
}

Image RinkTest::picture_of(const Image& screen) const {
  return screen.region(placement()).sampled(picture_width, picture_height);
}

std::string RinkTest::game_errors() const { return file_text(work_.path() / "stderr.txt"); }

double RinkTest::rink_share(const Image& picture) const {
  return matching_share(picture, rink_.image, {0, 0, picture_width - 1, 450});
}

}  // namespace e2e
