// The one reader of key scripts: what a line holds, the errors that name their line, the bounds,
// reading in pieces as a growing recording comes, and the files it refuses.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/key_script.h"

namespace {

using platform::KeySet;
using platform::LoadedScript;
using platform::read_key_script;

constexpr int left = platform::vk_left, right = platform::vk_right, space = platform::vk_space;

TEST(KeySetTest, HoldsTheGamesKeysAsBits) {
  KeySet keys{right, space, 0x41};  // 'A' is not a key of the game
  EXPECT_EQ(keys.size(), 2);
  EXPECT_EQ(keys.count(right), 1);
  EXPECT_EQ(keys.count(0x41), 0);
  keys.erase(right);
  keys.insert(left);
  EXPECT_EQ(keys, (KeySet{space, left}));
  keys.erase(space);
  keys.erase(left);
  EXPECT_TRUE(keys.empty());
  EXPECT_EQ(keys, KeySet{});
}

TEST(KeyScriptTest, LinesHoldTheirKeysInAnyOrderWithCommentsSkipped) {
  const LoadedScript script = read_key_script("# a session\nRight  Space\n\n\tD\tN \r\nSpace Right\nEscape");
  ASSERT_EQ(script.error, "");
  EXPECT_EQ(script.lines, (std::vector<KeySet>{{right, space}, {}, {platform::vk_d, platform::vk_n},
                                               {right, space}, {platform::vk_escape}}));
  EXPECT_EQ(platform::format_key_line({space, right, platform::vk_return}), "Right Space Return");
}

TEST(KeyScriptTest, ABadLineIsNamedWithoutItsRawBytes) {
  EXPECT_EQ(read_key_script("Left\n\nLeft Jump\n").error, "line 3: unknown key 'Jump'");
  EXPECT_EQ(read_key_script(std::string("Left\nRi\0ght\n", 13)).error, "line 2: not text");
  EXPECT_EQ(read_key_script("# caf\xC3\xA9\nLeft\n").error, "line 1: not text");
  const LoadedScript long_name = read_key_script("Left " + std::string(200, 'x') + "\n");
  EXPECT_EQ(long_name.error, "line 1: unknown key '" + std::string(24, 'x') + "...'");
  EXPECT_TRUE(long_name.lines.empty()) << "a refused script plays nothing";
}

TEST(KeyScriptTest, ALineLongerThanTheLimitOrAScriptWithoutKeysIsRefused) {
  const std::string longest(platform::max_line_length, ' ');
  EXPECT_EQ(read_key_script(longest + "\n").error, "");
  EXPECT_EQ(read_key_script("Left\n" + longest + " \n").error, "line 2: longer than 256 characters");
  EXPECT_EQ(read_key_script("Left\n" + longest + " ").error, "line 2: longer than 256 characters");
  EXPECT_EQ(read_key_script("").error, "no line of keys");
  EXPECT_EQ(read_key_script("# only a comment\n").error, "no line of keys");
}

// A binary file is named for what it is, whether or not a newline comes in its first bytes, and
// however its bytes come in.
TEST(KeyScriptTest, ABinaryFileIsNotTextWhateverItsFirstLinesLength) {
  std::string binary(4000, 'a');
  binary[300] = '\x01';
  EXPECT_EQ(read_key_script(binary).error, "line 1: longer than 256 characters") << "text in the first 257 bytes";
  binary[100] = '\xff';
  EXPECT_EQ(read_key_script(binary).error, "line 1: not text");
  platform::KeyScriptReader reader;
  KeySet keys;
  reader.feed(binary.substr(0, 200));
  EXPECT_EQ(reader.next(keys), platform::KeyScriptReader::Step::more);
  reader.feed(binary.substr(200, 100));
  EXPECT_EQ(reader.next(keys), platform::KeyScriptReader::Step::failed);
  EXPECT_EQ(reader.error(), "line 1: not text");
}

// A recording cut short (a full disk, a crash) plays to its last whole line, with a warning that
// names the line left out; a last line without its newline that reads as keys still counts, and
// an unfinished first line is refused as any bad line is.
TEST(KeyScriptTest, AnUnfinishedLastLinePlaysUpToTheLastWholeLine) {
  const LoadedScript cut = read_key_script("Left\nRight Space\nUp Sp");
  EXPECT_EQ(cut.error, "");
  EXPECT_EQ(cut.lines, (std::vector<KeySet>{{left}, {right, space}}));
  EXPECT_EQ(cut.warning, "line 3: unfinished and left out: unknown key 'Sp'");
  const LoadedScript binary_end = read_key_script(std::string("Left\nRi\0", 8));
  EXPECT_EQ(binary_end.lines, (std::vector<KeySet>{{left}}));
  EXPECT_EQ(binary_end.warning, "line 2: unfinished and left out: not text");
  const LoadedScript whole = read_key_script("Left\nRight Space");
  EXPECT_EQ(whole.lines, (std::vector<KeySet>{{left}, {right, space}}));
  EXPECT_EQ(whole.warning, "");
  EXPECT_EQ(read_key_script("Left\nUp Sp\n").error, "line 2: unknown key 'Sp'") << "a whole bad line";
  EXPECT_EQ(read_key_script("Up Sp").error, "line 1: unknown key 'Sp'");
  EXPECT_EQ(read_key_script("Left\n" + std::string(300, 'x')).error, "line 2: longer than 256 characters");

  platform::KeyScriptReader reader;
  KeySet keys;
  reader.feed("Left\nUp S");
  EXPECT_EQ(reader.next(keys), platform::KeyScriptReader::Step::line);
  EXPECT_EQ(reader.next(keys), platform::KeyScriptReader::Step::more) << "the line may still come whole";
  reader.finish();
  EXPECT_EQ(reader.next(keys), platform::KeyScriptReader::Step::end);
  EXPECT_EQ(reader.warning(), "line 2: unfinished and left out: unknown key 'S'");
  EXPECT_EQ(reader.error(), "");
}

// A recording is followed while it is written: a line counts once it is whole, however the
// bytes come, and a line longer than the limit is refused before it is all there.
TEST(KeyScriptTest, ReadingInPiecesGivesWhatReadingAtOnceGives) {
  const std::string text = "# header\nRight Down\n\nSpace Up\r\nD\nLeft";
  platform::KeyScriptReader reader;
  std::vector<KeySet> lines;
  KeySet keys;
  for (const char c : text) {
    reader.feed(std::string_view(&c, 1));
    while (reader.next(keys) == platform::KeyScriptReader::Step::line) lines.push_back(keys);
  }
  EXPECT_EQ(lines.size(), 4u) << "the last line is not whole yet";
  reader.finish();
  EXPECT_EQ(reader.next(keys), platform::KeyScriptReader::Step::line);
  lines.push_back(keys);
  EXPECT_EQ(reader.next(keys), platform::KeyScriptReader::Step::end);
  EXPECT_EQ(lines, read_key_script(text).lines);

  platform::KeyScriptReader endless;
  endless.feed("Left\n" + std::string(platform::max_line_length + 1, ' '));
  EXPECT_EQ(endless.next(keys), platform::KeyScriptReader::Step::line);
  EXPECT_EQ(endless.next(keys), platform::KeyScriptReader::Step::failed);
  EXPECT_EQ(endless.error(), "line 2: longer than 256 characters");
}

// A two-player recording says so on its first line, which is a comment anywhere else; what is
// asked on a command line or a page wins, unless it contradicts the script.
TEST(KeyScriptTest, TheFirstLineMayNameThePlayersOfTheSession) {
  const LoadedScript two = read_key_script("# players 2\r\n# keys\nRight P2Left\n");
  EXPECT_EQ(two.error, "");
  EXPECT_EQ(two.players, 2);
  EXPECT_EQ(two.lines, (std::vector<KeySet>{{right, platform::vk_p2_left}}));
  EXPECT_EQ(read_key_script("# players 1\nLeft\n").players, 1);
  EXPECT_EQ(read_key_script("Left\n").players, 0);
  EXPECT_EQ(read_key_script("# keys\n# players 2\nLeft\n").players, 0) << "only the first line names them";
  EXPECT_EQ(read_key_script("# players 3\nLeft\n").error, "line 1: the players must be 1 or 2");

  std::FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  ASSERT_TRUE(platform::write_players_line(file, 1));
  EXPECT_EQ(std::ftell(file), 0) << "a one-player script opens as it always did";
  ASSERT_TRUE(platform::write_players_line(file, 2));
  std::fputs("Left\n", file);
  std::rewind(file);
  char text[32] = {};
  EXPECT_EQ(read_key_script(std::string(text, std::fread(text, 1, sizeof text, file))).players, 2);
  std::fclose(file);

  const struct {
    int asked, named, players;
    const char* error;
  } sessions[] = {{0, 0, 1, ""}, {0, 2, 2, ""}, {2, 0, 2, ""}, {1, 1, 1, ""}, {2, 2, 2, ""},
                  {1, 2, 0, "the script holds a two-player session, not a one-player one"},
                  {2, 1, 0, "the script holds a one-player session, not a two-player one"}};
  for (const auto& [asked, named, want, error] : sessions) {
    int players = 0;
    std::string why;
    EXPECT_EQ(platform::session_players(asked, named, players, why), *error == '\0') << asked << named;
    EXPECT_EQ(why, error);
    EXPECT_EQ(players, want) << asked << named;
  }
}

TEST(KeyScriptFileTest, FoldersAndDevicesAreRefusedAndPipesRead) {
  const std::string base = ::testing::TempDir() + "key-script-test-" + std::to_string(getpid());
  ASSERT_EQ(mkdir(base.c_str(), 0700), 0);
  const LoadedScript folder = platform::load_key_script(base.c_str());
  EXPECT_TRUE(folder.unreadable);
  EXPECT_EQ(folder.error, "a folder, not a key script");
  const LoadedScript device = platform::load_key_script("/dev/zero");
  EXPECT_TRUE(device.unreadable);
  EXPECT_EQ(device.error, "a device, not a key script");
  const LoadedScript missing = platform::load_key_script((base + "/missing/keys").c_str());
  EXPECT_TRUE(missing.unreadable);
  EXPECT_EQ(missing.error, "No such file or directory");
  rmdir(base.c_str());

  const std::string fifo = base + ".fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::thread writer([&] { std::ofstream(fifo) << "Right\nLeft Space\n"; });
  const LoadedScript piped = platform::load_key_script(fifo.c_str());
  writer.join();
  std::remove(fifo.c_str());
  EXPECT_EQ(piped.error, "");
  EXPECT_EQ(piped.lines, (std::vector<KeySet>{{right}, {left, space}}));
}

}  // namespace
