#include "app/game_guide.h"

#include <cstdio>

#include "display/display_ops.h"
#include "display/sprites.h"
#include "platform/keys.h"
#include "platform/overlay.h"
#include "sim/match.h"

namespace {

// The sides as the game's own texts name them.
constexpr const char* first_side = "Player One";
const char* second_side(const Match& match) { return match.two_players ? "Player Two" : "Computer"; }

// The keys in one line, as the help names them.
constexpr const char* one_player_keys = "Arrows skate \u00B7 Space shoots (Up/Down aim) \u00B7 Return checks \u00B7 Esc quits";
constexpr const char* two_player_keys =
    "1: arrows, R-Shift shoots, Return checks \u00B7 2: T F G H, Space shoots, V checks";

// Where a skater's marker points and its arrow starts: over its head, and beside it towards the
// net it attacks (player one attacks the right net, the second skater the left).
constexpr int arrow_gap = 6;
constexpr int arrow_length = 70;

bool any_game_key_held(const PassKeys& keys) { return !keys.player_one.empty() || !keys.player_two.empty(); }

}  // namespace

GameGuide::GameGuide(const GuideOptions& options, CueObserver* next, const MatchDriver* driver)
    : options_(options), next_(next), driver_(driver),
      hints_until_(std::chrono::steady_clock::now() + options.hints_for) {}

GameGuide::~GameGuide() {
  if (options_.overlay != nullptr) options_.overlay->clear();
}

void GameGuide::on_start(Match& match) {
  match_ = &match;
  hints_until_ = std::chrono::steady_clock::now() + options_.hints_for;
  hints_up_ = options_.overlay != nullptr && options_.hints && options_.keys_are_the_viewers;
  if (hints_up_) show_hints();
}

void GameGuide::show_hints() {
  platform::Overlay& overlay = *options_.overlay;
  const int own_player = driver_ != nullptr ? driver_->own_player() : 0;
  if (own_player < 0) return;  // the hints come with the seat
  const Match& match = *match_;
  const SpriteEntry& skater = sprite_entry(SpriteId::firstplayerone);
  // Every skater played on this keyboard is marked: "You" alone, "1" and "2" side by side.
  const bool both_here = match.two_players && own_player == 0;
  const bool first_here = own_player != 2;
  const bool second_here = match.two_players && own_player != 1;
  const char* const alone = "You";
  overlay.set_banner(both_here ? two_player_keys : one_player_keys);
  overlay.set_marker(0, match.player_x + skater.width / 2, match.player_y,
                     first_here ? (both_here ? "1" : alone) : nullptr);
  overlay.set_arrow(0, match.player_x + skater.width + arrow_gap, match.player_y + skater.height / 2,
                    first_here ? arrow_length : 0);
  overlay.set_marker(1, match.cpu_x + skater.width / 2, match.cpu_y, second_here ? (both_here ? "2" : alone) : nullptr);
  overlay.set_arrow(1, match.cpu_x - arrow_gap, match.cpu_y + skater.height / 2, second_here ? -arrow_length : 0);
}

void GameGuide::after_frame(int /*result*/) {
  if (!hints_up_) return;
  if (any_game_key_held(match_->keys) || std::chrono::steady_clock::now() >= hints_until_) {
    hints_up_ = false;
    options_.overlay->clear();
    return;
  }
  show_hints();
}

// "Player One scores: 3–2 · D drops the puck", the scorer's side first in the score.
void GameGuide::banner(CueWho who, int first_score, int second_score, const char* what, const char* key) {
  const bool first = who == CueWho::player_one;
  char text[platform::Overlay::max_text];
  const char* side = first ? first_side : second_side(*match_);
  const int written = std::snprintf(text, sizeof text, "%s %s %d\u2013%d", side, what,
                                    first ? first_score : second_score, first ? second_score : first_score);
  if (options_.keys_are_the_viewers && written > 0) {
    std::snprintf(text + written, sizeof text - static_cast<std::size_t>(written), " \u00B7 %s", key);
  }
  options_.overlay->set_banner(text);
}

void GameGuide::on_cue(const Cue& cue) {
  if (next_ != nullptr) next_->on_cue(cue);
  if (options_.overlay == nullptr || !options_.hints) return;
  const Match& match = *match_;
  switch (cue.kind) {
    case CueKind::goal: {
      // Reported before the goal counts: the banner gives the score with it.
      const bool first = cue.who == CueWho::player_one;
      hints_up_ = false;
      options_.overlay->clear();
      banner(cue.who, match.player_score + (first ? 1 : 0), match.cpu_score + (first ? 0 : 1), "scores:",
             "D drops the puck");
      break;
    }
    case CueKind::match_won:
      hints_up_ = false;
      options_.overlay->clear();
      banner(cue.who, match.player_score, match.cpu_score, "wins", "N starts a new match");
      break;
    case CueKind::face_off:
    case CueKind::new_match: options_.overlay->set_banner(""); break;
    default: break;
  }
}
