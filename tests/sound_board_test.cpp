// What a player hears of a match, over the headless backend, which writes down every sound asked
// for: each cue of the golden session as its own sound, the horn before the wait for D and the
// whistle after it, a blow as loud as it was hard, the end of a match by who won, and a sound
// file that cannot be read leaving its cue silent with one line while the game plays on.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "app/main_loop.h"
#include "app/sound_board.h"
#include "build_tree.h"
#include "game_fixture.h"
#include "platform/key_script.h"
#include "platform/system.h"
#include "process_state.h"

namespace {

namespace fs = std::filesystem;

std::vector<platform::KeySet> golden_keys() { return platform::load_key_script(RINK_REPLAY_DATA "/golden.keys").lines; }

// A cue, the sound the board asked for when it came, and the lines of the script taken by then.
struct Heard {
  Cue cue;
  std::optional<platform::PlayedSound> sound;
  std::size_t lines_taken;
};

// The script played through the real main loop with the sound board on the headless backend;
// the board hears every cue through this, which keeps them.
struct HeardSession : CueObserver, LoopObserver {
  explicit HeardSession(std::vector<platform::KeySet> script) : lines(script) {
    reset_game(backend);
    backend.load_script(std::move(script));
    SoundBoard sounds(backend, 1);
    board = &sounds;
    win_main(nullptr, {1, this, this, nullptr});
    board = nullptr;
    platform::use_backend(nullptr);
  }
  void on_cue(const Cue& cue) override {
    const std::size_t before = backend.played().size();
    board->on_cue(cue);
    EXPECT_LE(backend.played().size(), before + 1) << "one cue, one sound at most";
    heard.push_back({cue, std::nullopt, backend.lines_taken()});
    if (backend.played().size() > before) heard.back().sound = backend.played().back();
  }
  void after_frame(int) override { ++frames; }

  std::vector<const Heard*> of_kind(CueKind kind) const {
    std::vector<const Heard*> found;
    for (const Heard& h : heard) {
      if (h.cue.kind == kind) found.push_back(&h);
    }
    return found;
  }

  std::vector<platform::KeySet> lines;
  platform::HeadlessBackend backend;
  SoundBoard* board = nullptr;
  std::vector<Heard> heard;
  int frames = 0;
};

const HeardSession& golden() {
  static const HeardSession session(golden_keys());
  return session;
}

TEST(SoundBoard, EveryCueOfTheGoldenSessionIsHeardAsItsOwnSound) {
  struct Expected {
    CueKind kind;
    const char* file;  // null: nothing is heard
  };
  // Player one won both matches of the golden session.
  constexpr Expected sounds[] = {
      {CueKind::shot, "shot.wav"},       {CueKind::boards, "boards.wav"},     {CueKind::post, "post.wav"},
      {CueKind::save, "save.wav"},       {CueKind::fall, "check.wav"},        {CueKind::goal, "goal.wav"},
      {CueKind::face_off, "whistle.wav"}, {CueKind::match_won, "win.wav"},   {CueKind::new_match, nullptr},
  };
  const HeardSession& s = golden();
  for (const Expected& expected : sounds) {
    const auto heard = s.of_kind(expected.kind);
    EXPECT_FALSE(heard.empty()) << cue_kind_name(expected.kind);
    for (const Heard* h : heard) {
      EXPECT_EQ(h->sound ? h->sound->name : "", expected.file ? expected.file : "") << cue_kind_name(expected.kind);
    }
  }
  EXPECT_EQ(s.backend.played().size(), s.heard.size() - s.of_kind(CueKind::new_match).size());
}

// The horn rings while the game waits for D: it is asked for after the goal's picture and
// before any line of the wait; the whistle once the line holding D was taken. The jingle of a
// won match likewise comes before the wait for N.
TEST(SoundBoard, TheHornAndTheJingleComeBeforeTheirWaitsAndTheWhistleAfterD) {
  const HeardSession& s = golden();
  auto holds = [&](std::size_t line, int vk) { return s.lines.at(line).count(vk) != 0; };
  // The wait starts with line `from` and takes lines until one holds the key; that line's index.
  auto wait_end = [&](std::size_t from, int vk) {
    while (from < s.lines.size() && !holds(from, vk)) ++from;
    return from;
  };
  const auto goals = s.of_kind(CueKind::goal), whistles = s.of_kind(CueKind::face_off);
  ASSERT_EQ(goals.size(), whistles.size());
  for (std::size_t i = 0; i < goals.size(); ++i) {
    ASSERT_TRUE(goals[i]->sound && whistles[i]->sound);
    const platform::PlayedSound& horn = *goals[i]->sound;
    const platform::PlayedSound& whistle = *whistles[i]->sound;
    SCOPED_TRACE(::testing::Message() << "goal " << i << ", line " << horn.lines_taken);
    EXPECT_GT(horn.presents, 0);
    EXPECT_EQ(whistle.presents, horn.presents) << "no picture between the goal's and the face-off";
    EXPECT_EQ(whistle.lines_taken, wait_end(horn.lines_taken, VK_D) + 1);
    EXPECT_GT(whistle.lines_taken, horn.lines_taken + 1) << "the wait took no line without D";
  }
  const auto ends = s.of_kind(CueKind::match_won), restarts = s.of_kind(CueKind::new_match);
  ASSERT_EQ(ends.size(), 2u);
  ASSERT_EQ(restarts.size(), 2u);
  for (std::size_t i = 0; i < ends.size(); ++i) {
    ASSERT_TRUE(ends[i]->sound);
    EXPECT_EQ(ends[i]->sound->lines_taken, ends[i]->lines_taken);
    EXPECT_EQ(restarts[i]->lines_taken, wait_end(ends[i]->lines_taken, VK_N) + 1) << "the jingle waited for N";
  }
}

TEST(SoundBoard, ABlowIsAsLoudAsItWasHardAndTheEndOfAMatchSoundsForWhoWon) {
  platform::HeadlessBackend backend;
  SoundBoard board(backend, 1);
  SoundBoard two_players(backend, 2);
  auto heard = [&](CueKind kind, CueWho who, int strength, SoundBoard* by = nullptr) -> platform::PlayedSound {
    const std::size_t before = backend.played().size();
    (by != nullptr ? *by : board).on_cue({kind, who, strength});
    if (backend.played().size() != before + 1) return {"", -1, 0, 0, false};
    return backend.played().back();
  };
  for (const CueKind blow : {CueKind::shot, CueKind::boards, CueKind::post, CueKind::save}) {
    SCOPED_TRACE(cue_kind_name(blow));
    const int soft = heard(blow, CueWho::player_one, 0).volume;
    const int middle = heard(blow, CueWho::player_one, full_strength / 2).volume;
    const int hard = heard(blow, CueWho::second_skater, full_strength).volume;
    EXPECT_GT(soft, 0) << "the lightest touch is still heard";
    EXPECT_LT(soft, middle);
    EXPECT_LT(middle, hard);
    EXPECT_EQ(hard, 100);
  }
  EXPECT_EQ(heard(CueKind::match_won, CueWho::player_one, full_strength).name, "win.wav");
  EXPECT_EQ(heard(CueKind::match_won, CueWho::second_skater, full_strength).name, "lose.wav");
  // Either player's win is a win.
  EXPECT_EQ(heard(CueKind::match_won, CueWho::second_skater, full_strength, &two_players).name, "win.wav");
  EXPECT_EQ(heard(CueKind::new_match, CueWho::nobody, full_strength).volume, -1);
}

// The game's data in a folder of its own, where bare names are looked for first and then in the
// working directory: the build's bitmaps, and its sounds less the horn, with a whistle that is no
// WAV file.
class DamagedSounds : public ::testing::Test {
 protected:
  DamagedSounds() {
    fs::create_directory(folder_ / "sounds");
    for (const fs::directory_entry& entry : fs::directory_iterator(build_directory())) {
      if (entry.path().extension() == ".bmp") fs::create_symlink(entry.path(), folder_ / entry.path().filename());
    }
    for (const char* file : SoundBoard::files) {
      if (std::string(file) != "goal.wav") fs::copy_file(build_directory() / "sounds" / file, folder_ / "sounds" / file);
    }
    std::ofstream(folder_ / "sounds" / "whistle.wav", std::ios::trunc) << "RIFF but no sound";
  }

  const TemporaryFolder folder_{"damaged-sounds"};
  const SearchDirectory search_{folder_.path()};
  const WorkingDirectory working_{folder_.path()};
};

TEST_F(DamagedSounds, LeaveTheirCuesSilentWithOneLineEachAndTheGamePlaysOn) {
  std::vector<platform::KeySet> script = golden_keys();
  script.resize(400);  // past the first two goals
  ::testing::internal::CaptureStderr();
  const HeardSession session(std::move(script));
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(said,
            "rink: sound goal.wav: not found; its cue stays silent\n"
            "rink: sound whistle.wav: not a WAV file; its cue stays silent\n");
  EXPECT_TRUE(session.backend.messages().empty()) << "a sound file is never worth a box";
  EXPECT_GE(session.of_kind(CueKind::goal).size(), 2u) << "the game did not play on past its goals";
  EXPECT_GT(session.frames, 300);
  for (const Heard& h : session.heard) {
    const bool silent = h.cue.kind == CueKind::goal || h.cue.kind == CueKind::face_off || h.cue.kind == CueKind::new_match;
    EXPECT_EQ(h.sound.has_value(), !silent) << cue_kind_name(h.cue.kind);
  }
}

}  // namespace
