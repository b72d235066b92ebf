#include "golden_session.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

#include "platform/key_script.h"

namespace e2e {

namespace {

std::vector<std::string> words(const std::string& line, char separator) {
  std::vector<std::string> out;
  std::stringstream stream(line);
  for (std::string word; std::getline(stream, word, separator);) {
    if (!word.empty()) out.push_back(word);
  }
  return out;
}

}  // namespace

std::vector<SessionFrame> golden_session_to_first_goal() {
  std::ifstream draws(RINK_REPLAY_DATA "/golden.expected");
  std::vector<SessionFrame> frames(1);
  for (std::string line; std::getline(draws, line) && !frames.back().goal;) {
    const std::vector<std::string> fields = words(line, ',');
    if (fields.empty() || line.starts_with("frame,")) continue;
    auto point = [&](std::size_t at) { return Point{std::stoi(fields[at]), std::stoi(fields[at + 1])}; };
    if (fields[0] == "blit") frames.back().blits.push_back({fields[1], point(2)});
    if (fields[0] == "puck") frames.back().puck = point(1);
    if (fields[0] == "text" && line.find("Press d") != std::string::npos) frames.back().goal = true;
    if (std::isdigit(static_cast<unsigned char>(line[0])) && !frames.back().goal) frames.emplace_back();
  }
  const std::vector<platform::KeySet> keys = platform::load_key_script(RINK_REPLAY_DATA "/golden.keys").lines;
  for (std::size_t pass = 0; pass < keys.size() && pass < frames.size(); ++pass) frames[pass].keys = x_key_names(keys[pass]);
  return frames;
}

double seconds_between(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double>(to - from).count();
}

const Bitmap& GoldenSessionTest::sprite(const std::string& name) {
  auto found = sprites_.find(name);
  if (found == sprites_.end()) found = sprites_.emplace(name, load_bitmap(build_file(name + ".bmp").string())).first;
  return found->second;
}

// How well the picture shows the frame: the mean share shown of the sprites it drew (they
// overlap one another, so none need be whole) and of the puck, which hides the rink's pixels
// where it lies.
double GoldenSessionTest::likeness(const Image& picture, const SessionFrame& frame) {
  double total = 0;
  for (const Blit& blit : frame.blits) total += shown_share(picture, sprite(blit.sprite), blit.corner);
  int parts = static_cast<int>(frame.blits.size());
  if (frame.puck) {
    const Rect area{frame.puck->x, frame.puck->y, 9, 9};
    total += 1.0 - matching_share(picture, rink_.image, area);
    ++parts;
  }
  return parts == 0 ? 0.0 : total / parts;
}

// Of the frames in [first, last), the one the picture shows best.
std::size_t GoldenSessionTest::best_likeness(const Image& picture, std::size_t first, std::size_t last) {
  std::size_t best = first;
  for (std::size_t i = first; i < std::min(last, session_.size()); ++i) {
    if (likeness(picture, session_[i]) > likeness(picture, session_[best])) best = i;
  }
  return best;
}

void GoldenSessionTest::hold(const std::set<std::string>& keys) {
  for (const std::string& key : held_) {
    if (!keys.contains(key)) screen_.key_up(key);
  }
  for (const std::string& key : keys) {
    if (!held_.contains(key)) screen_.key_down(key);
  }
  held_ = keys;
}

// The first picture of the game, with `keys` held from its first frame. A window learns only
// of presses made while it has the keyboard, and SDL replaces its first window while it
// starts: the newest window gets the keyboard and the keys (let go and pressed anew, as a
// press of a key held down already goes nowhere) again and again until the rink shows.
std::optional<Image> GoldenSessionTest::first_frame_holding(const std::set<std::string>& keys) {
  std::optional<Image> picture;
  const bool shown = poll_until(10s, [&] {
    if (const std::optional<std::string> window = game_window()) {
      std::vector<std::string> press{"windowfocus", *window};
      for (const std::string& key : keys) press.insert(press.end(), {"keyup", key, "keydown", key});
      screen_.xdotool(press);
    }
    picture = screen_.grab({0, 0, picture_width, picture_height});
    return rink_share(*picture) > 0.9;
  }, 10ms);
  held_ = keys;
  if (!shown) return std::nullopt;
  return picture;
}

bool GoldenSessionTest::find_first_frame() {
  if (session_.size() < 100 || !session_.back().goal) {
    ADD_FAILURE() << "cannot read the golden session";
    return false;
  }
  std::optional<Image> first = first_frame_holding(session_.front().keys);
  if (!first) {
    ADD_FAILURE() << "the game never showed the rink; its errors: " << game_errors();
    return false;
  }
  picture_ = std::move(*first);
  where_ = placement();
  // The first passes all hold the same keys, so the picture may show any of them.
  shown_ = best_likeness(picture_, 0, 30);
  if (likeness(picture_, session_[shown_]) > 0.6) return true;
  ADD_FAILURE() << "the picture is none of the first frames";
  return false;
}

std::optional<Image> GoldenSessionTest::next_picture(const Image& last, Clock::time_point& seen) {
  std::optional<Image> next;
  poll_until(1s, [&] {
    seen = Clock::now();
    next = screen_.grab(where_).sampled(picture_width, picture_height);
    return next->pixels != last.pixels;
  }, 0ms);
  if (next && next->pixels == last.pixels) return std::nullopt;
  return next;
}

// Each picture's successor gets its keys at once, while the pause runs; when a picture went by
// between two reads, a later frame shows and the keys follow it.
std::size_t GoldenSessionTest::drive() {
  auto hold_for = [&](std::size_t frame) {
    if (frame < session_.size()) hold(session_[frame].keys);
  };
  hold_for(shown_ + 1);
  while (shown_ + 1 < session_.size()) {
    Clock::time_point seen;
    std::optional<Image> next = next_picture(picture_, seen);
    if (!next) break;
    picture_ = std::move(*next);
    hold_for(shown_ + 2);
    const std::size_t now = best_likeness(picture_, shown_ + 1, shown_ + 4);
    if (now != shown_ + 1) hold_for(now + 1);
    shown_ = now;
    timeline_.emplace_back(shown_, seen);
  }
  hold({});
  return shown_;
}

bool GoldenSessionTest::at_face_off(const Image& picture) {
  return std::max(shown_share(picture, sprite("firstplayerone"), {240, 200}),
                  shown_share(picture, sprite("firstplayertwo"), {240, 200})) > 0.7;
}

}  // namespace e2e
