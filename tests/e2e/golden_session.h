#pragma once
// The golden session played on the real game with xdotool, frame by frame, up to its first goal:
// the keys of each pass are set as soon as the previous frame's picture shows, well inside the
// 100 ms pause that ends every frame. The times at which new pictures show give the frame period.

#include <map>
#include <set>
#include <string>
#include <vector>

#include "rink_session.h"

namespace e2e {

struct Blit {
  std::string sprite;
  Point corner;
};

// One frame of the golden session: the keys its pass held and the sprites it drew.
struct SessionFrame {
  std::set<std::string> keys;  // xdotool key names
  std::vector<Blit> blits;
  std::optional<Point> puck;  // where the loose puck was drawn
  bool goal = false;           // the frame that waits for D
};

// The frames up to the first blocking wait, where passes and frames stop being one to one.
std::vector<SessionFrame> golden_session_to_first_goal();

double seconds_between(Clock::time_point from, Clock::time_point to);

class GoldenSessionTest : public RinkTest {
 protected:
  using RinkTest::RinkTest;

  // With the game started: waits for its first picture and finds which frame of the session it
  // shows. False (after a test failure) when it shows none of them.
  bool find_first_frame();
  // Drives the game along the session from the frame shown until the pictures stop (the wait
  // after the goal, or a game gone its own way); the last frame shown.
  std::size_t drive();

  // Holds exactly these keys from now on.
  void hold(const std::set<std::string>& keys);
  // The next picture that differs from `last`, and when it was seen; nothing when the game
  // shows the same one for a second (it waits for a key, or is paused).
  std::optional<Image> next_picture(const Image& last, Clock::time_point& seen);
  // Whether the picture shows player one at the face-off spot.
  bool at_face_off(const Image& picture);

  const std::vector<SessionFrame> session_ = golden_session_to_first_goal();
  std::size_t shown_ = 0;  // the frame of the session the picture shows
  Image picture_;          // the last picture read
  Rect where_{};
  std::vector<std::pair<std::size_t, Clock::time_point>> timeline_;  // frame, when first seen

 private:
  const Bitmap& sprite(const std::string& name);
  double likeness(const Image& picture, const SessionFrame& frame);
  std::size_t best_likeness(const Image& picture, std::size_t first, std::size_t last);
  std::optional<Image> first_frame_holding(const std::set<std::string>& keys);

  std::map<std::string, Bitmap> sprites_;
  std::set<std::string> held_;
};

}  // namespace e2e
