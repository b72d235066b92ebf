// The pictures rink-art writes next to the game: the file layout the game's reader expects,
// the shared palette, and the places where the game's rules need the pictures to show things.
// The files are read with plain file I/O, independently of the game's own reader.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "build_tree.h"
#include "process_state.h"
#include "display/sprites.h"
#include "display/team_colours.h"
#include "sim/rules.h"

namespace {

namespace fs = std::filesystem;

constexpr int key = 117;

struct Rgb {
  int red;
  int green;
  int blue;
  bool operator==(const Rgb&) const = default;
};

int luminance(const Rgb& c) { return (299 * c.red + 587 * c.green + 114 * c.blue) / 1000; }

bool is_red(const Rgb& c) { return c.red >= 120 && c.red > 2 * c.green && c.red > 2 * c.blue; }
bool is_blue(const Rgb& c) { return c.blue >= 120 && c.blue > c.red + 40; }

struct Bitmap {
  std::vector<std::uint8_t> bytes;  // the whole file
  std::array<Rgb, 256> palette{};
  std::vector<std::uint8_t> pixels;  // top row first
  int width = 0;
  int height = 0;

  std::uint32_t u32(std::size_t at) const {
    return u16(at) | static_cast<std::uint32_t>(u16(at + 2)) << 16;
  }
  std::uint16_t u16(std::size_t at) const {
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
  }
  // -1 outside the picture, or for a file that could not be read.
  int at(int x, int y) const {
    const std::size_t i = static_cast<std::size_t>(y) * width + x;
    return x >= 0 && y >= 0 && x < width && y < height && i < pixels.size() ? pixels[i] : -1;
  }
  Rgb colour(int x, int y) const {
    return at(x, y) < 0 ? Rgb{-1, -1, -1} : palette[static_cast<std::size_t>(at(x, y))];
  }
};

// Reads the headers, the colour table and the rows; the layout itself is checked by the tests.
Bitmap load(const std::string& file) {
  Bitmap image;
  std::ifstream in(build_directory() / file, std::ios::binary);
  image.bytes.assign(std::istreambuf_iterator<char>(in), {});
  if (image.bytes.size() < 54 + 1024) return image;
  image.width = static_cast<std::int32_t>(image.u32(18));
  image.height = static_cast<std::int32_t>(image.u32(22));
  for (std::size_t i = 0; i < 256; ++i) {
    const std::size_t entry = 54 + 4 * i;
    image.palette[i] = {image.bytes[entry + 2], image.bytes[entry + 1], image.bytes[entry]};
  }
  const std::size_t image_size = static_cast<std::size_t>(image.width) * std::max(image.height, 0);
  if (image.bytes.size() < 54 + 1024 + image_size) return image;
  const std::uint8_t* bottom_row_first = &image.bytes[image.bytes.size() - image_size];
  for (int y = image.height - 1; y >= 0; --y) {
    const std::uint8_t* row = bottom_row_first + static_cast<std::size_t>(y) * image.width;
    image.pixels.insert(image.pixels.end(), row, row + image.width);
  }
  return image;
}

const Bitmap& picture(const std::string& file) {
  static std::map<std::string, Bitmap> cache;
  auto found = cache.find(file);
  if (found == cache.end()) found = cache.emplace(file, load(file)).first;
  return found->second;
}

const Bitmap& rink() { return picture("hockeyrink.bmp"); }
const Bitmap& sprite(SpriteId id) { return picture(sprite_entry(id).file); }

bool is_skater(SpriteId id) { return sprite_index(id) <= sprite_index(SpriteId::playeronecheck); }

bool carries_puck(SpriteId id) {
  const std::string name = sprite_name(id);
  return name.find("wpuck") != std::string::npos || name.find("withpuck") != std::string::npos ||
         name.find("shooting") != std::string::npos;
}

// The puck's own colour: the commonest visible index of the puck picture.
int puck_ink() {
  std::map<int, int> counts;
  const Bitmap& puck = sprite(SpriteId::puck);
  for (int y = 0; y < 15; ++y) {
    for (int x = 0; x < 15; ++x) {
      if (puck.at(x, y) != key) ++counts[puck.at(x, y)];
    }
  }
  return std::max_element(counts.begin(), counts.end(),
                          [](const auto& a, const auto& b) { return a.second < b.second; })->first;
}

int count_pixels(const Bitmap& image, int ink, int x0, int y0, int x1, int y1) {
  int count = 0;
  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x) count += image.at(x, y) == ink ? 1 : 0;
  }
  return count;
}

struct Expected {
  std::string file;
  int width;
  int height;
};

std::vector<Expected> every_file() {
  std::vector<Expected> files{{"hockeyrink.bmp", rink_width, rink_height}};
  for (const SpriteEntry& entry : sprite_catalogue) files.push_back({entry.file, entry.width, entry.height});
  return files;
}

TEST(ArtFiles, EveryFileIsAnUnpaddedBottomUp8BitBitmapOfItsCatalogueSize) {
  for (const Expected& expected : every_file()) {
    SCOPED_TRACE(expected.file);
    const Bitmap& image = picture(expected.file);
    ASSERT_GE(image.bytes.size(), 54u + 1024u) << "missing or truncated";
    const std::uint32_t image_size = static_cast<std::uint32_t>(expected.width * expected.height);
    EXPECT_EQ(image.u16(0), 0x4D42);           // "BM"
    EXPECT_EQ(image.u32(2), image.bytes.size());
    EXPECT_EQ(image.u32(10), 54u + 1024u);    // the colour table lies right before the pixels
    EXPECT_EQ(image.u32(14), 40u);
    EXPECT_EQ(image.width, expected.width);
    EXPECT_EQ(image.height, expected.height);  // positive: bottom row first
    EXPECT_EQ(image.u16(26), 1);
    EXPECT_EQ(image.u16(28), 8);
    EXPECT_EQ(image.u32(30), 0u);
    EXPECT_EQ(image.u32(34), image_size);
    EXPECT_EQ(image.bytes.size(), 54u + 1024u + image_size);
  }
}

TEST(ArtPalette, EveryFileCarriesTheSamePaletteWithTheGamesFixedColours) {
  const std::array<Rgb, 256>& palette = rink().palette;
  for (const Expected& expected : every_file()) {
    EXPECT_EQ(picture(expected.file).palette, palette) << expected.file;
  }
  EXPECT_EQ(palette[0], (Rgb{0, 0, 0}));
  EXPECT_EQ(palette[255], (Rgb{255, 255, 255}));
  // The texts are drawn in the nearest palette colour: these must be there exactly.
  for (const Rgb& text : {Rgb{0, 0, 255}, Rgb{255, 0, 0}, Rgb{0, 255, 0}}) {
    EXPECT_NE(std::find(palette.begin(), palette.end(), text), palette.end());
  }
  // The colour key's colour belongs to it alone, so nothing visible can look like it.
  for (int i = 0; i < 256; ++i) {
    if (i == key) continue;
    EXPECT_NE(palette[static_cast<std::size_t>(i)], palette[key]) << "entry " << i;
  }
}

// Pixels of a picture in the team's entries, starting at `first`.
int team_pixels(const Bitmap& image, int first) {
  return static_cast<int>(std::count_if(image.pixels.begin(), image.pixels.end(),
                                        [first](int ink) { return ink >= first && ink < first + team_ink_count; }));
}

TEST(ArtPalette, OnlySkatersWearTheTeamsColoursAndNoPictureTheSecondTeams) {
  // The second skater's copies move exactly these entries: anything else in them would change
  // colour with the jersey, and a second-team entry in a picture would not.
  EXPECT_EQ(team_pixels(rink(), first_team_ink), 0);
  EXPECT_EQ(team_pixels(rink(), second_team_ink), 0);
  for (const SpriteEntry& entry : sprite_catalogue) {
    SCOPED_TRACE(entry.name);
    const Bitmap& image = sprite(entry.id);
    EXPECT_EQ(team_pixels(image, second_team_ink), 0);
    if (is_skater(entry.id)) {
      EXPECT_GT(team_pixels(image, first_team_ink), 150) << "the jersey shows";
    } else {
      EXPECT_EQ(team_pixels(image, first_team_ink), 0);
    }
  }
}

TEST(ArtPalette, TheSecondTeamIsRedAndDiffersFromPlayerOnesInLightnessToo) {
  const std::array<Rgb, 256>& palette = rink().palette;
  // Light, base and dark of the jersey, of its trim and of the helmet, team by team.
  const auto first = [&](int i) { return palette[static_cast<std::size_t>(first_team_ink + i)]; };
  const auto second = [&](int i) { return palette[static_cast<std::size_t>(second_team_ink + i)]; };
  // Player one's orange against the second team's red (as the band writes the computer):
  // green is a large share of orange's red and a small one of red's.
  const auto green_share = [](const Rgb& c) { return c.green * 100 / std::max(c.red, 1); };
  for (int i = 0; i < 3; ++i) {
    EXPECT_GE(green_share(first(i)), 35) << "jersey " << i;
    EXPECT_LE(green_share(second(i)), 25) << "jersey " << i;
  }
  // Told apart without hue too: by the jersey's lightness and, more, by the helmet's.
  EXPECT_GE(luminance(first(1)) - luminance(second(1)), 40);
  EXPECT_GE(luminance(second(7)) - luminance(first(7)), 120);
}

TEST(ArtRink, NeverUsesTheColourKey) {
  // The rink is copied without a colour key: an index 117 would show as it is.
  for (int y = 0; y < rink_height; ++y) {
    for (int x = 0; x < rink_width; ++x) ASSERT_NE(rink().at(x, y), key) << x << "," << y;
  }
}

TEST(ArtRink, IceIsLightAndTheComputersSideOfTheScoreBandDarkSoPuckAndTextsRead) {
  int light = 0;
  int total = 0;
  // Wherever the puck can lie.
  for (int y = board_top; y < board_bottom + puck_size; ++y) {
    for (int x = board_left; x < board_right + puck_size; ++x) {
      light += luminance(rink().colour(x, y)) >= 170 ? 1 : 0;
      ++total;
    }
  }
  EXPECT_GT(light, total * 85 / 100);
  // The computer's score and the result are written in pure red and green from x 300 on; player
  // one's blue texts have a light plate of their own (see the score contrast test).
  for (int y = 453; y < rink_height - 1; ++y) {
    for (int x = 297; x < rink_width - 1; ++x) ASSERT_LT(luminance(rink().colour(x, y)), 40) << x << "," << y;
  }
}

TEST(ArtRink, FaceOffSpotIsCentredUnderTheFaceOffPuck) {
  // The puck rests with its 9 by 9 pixels at (316, 236): its middle pixel is (320, 240).
  ASSERT_EQ(rink().pixels.size(), static_cast<std::size_t>(rink_width * rink_height));
  const int spot = rink().at(320, 240);
  EXPECT_LT(luminance(rink().colour(320, 240)), 170);
  int left = 320, right = 320, top = 240, bottom = 240;
  while (rink().at(left - 1, 240) == spot) --left;
  while (rink().at(right + 1, 240) == spot) ++right;
  while (rink().at(320, top - 1) == spot) --top;
  while (rink().at(320, bottom + 1) == spot) ++bottom;
  EXPECT_EQ(320 - left, right - 320);
  EXPECT_EQ(240 - top, bottom - 240);
  EXPECT_GE(right - left + 1, 9) << "the spot shows round the puck";
  EXPECT_LE(right - left + 1, 21);
}

TEST(ArtRink, GoalFramesLieOnTheSidesThePuckBouncesOff) {
  // The sides of both goals run along the rows the puck bounces off, over the goals' columns.
  for (const GoalSpan goal : {left_goal, right_goal}) {
    const int middle = (goal.left + goal.right) / 2;
    for (int x : {goal.left + 15, middle, goal.right - 15}) {
      for (int y : {goal_top_side, goal_bottom_side}) {
        EXPECT_TRUE(is_red(rink().colour(x, y))) << x << "," << y;
      }
    }
    // Between them the ice of the goal shows, where a puck that scores lies.
    EXPECT_GE(luminance(rink().colour(middle, (net_top + net_bottom) / 2 - puck_size)), 150) << middle;
  }
}

TEST(ArtRink, LinesAndCreasesLieWhereTheGameNeedsThem) {
  // The red centre line through the face-off point, a blue line on either side of it.
  for (int y : {60, 150, 330, 430}) {
    EXPECT_TRUE(is_red(rink().colour(318, y))) << y;
    EXPECT_TRUE(is_blue(rink().colour(232, y))) << y;
    EXPECT_TRUE(is_blue(rink().colour(408, y))) << y;
  }
  // The creases lie in front of the goal mouths, on the ice side of the goal lines, not
  // under the nets.
  for (int x : {95, 105, 545, 535}) {
    const Rgb c = rink().colour(x, 230);
    EXPECT_TRUE(c.blue > c.red && luminance(c) > 150) << x;
  }
}

TEST(ArtSprites, FiguresStayInsideThePartThatReachesTheScreen) {
  for (const SpriteEntry& entry : sprite_catalogue) {
    SCOPED_TRACE(entry.name);
    const Bitmap& image = sprite(entry.id);
    ASSERT_EQ(image.pixels.size(), static_cast<std::size_t>(entry.width * entry.height));
    const int last = entry.width - 1;
    // Only the top-left 63 by 63 (15 by 15 for the puck) is ever drawn.
    EXPECT_EQ(count_pixels(image, key, last, 0, last, last), entry.height);
    EXPECT_EQ(count_pixels(image, key, 0, last, last, last), entry.width);
    // The corners are see-through and there is a figure.
    EXPECT_EQ(image.at(0, 0), key);
    EXPECT_EQ(image.at(last - 1, 0), key);
    const int visible = entry.width * entry.height - count_pixels(image, key, 0, 0, last, last);
    EXPECT_GT(visible, entry.width * entry.height / 10);
  }
}

TEST(ArtSprites, NoSingleTransparentPixelShowsThroughAFigure) {
  for (const SpriteEntry& entry : sprite_catalogue) {
    const Bitmap& image = sprite(entry.id);
    for (int y = 1; y < entry.height - 1; ++y) {
      for (int x = 1; x < entry.width - 1; ++x) {
        const bool enclosed = image.at(x - 1, y) != key && image.at(x + 1, y) != key &&
                              image.at(x, y - 1) != key && image.at(x, y + 1) != key;
        EXPECT_FALSE(image.at(x, y) == key && enclosed) << entry.name << " at " << x << "," << y;
      }
    }
  }
}

TEST(ArtSprites, CarriedPuckLiesAtTheBladeInsideThePickUpZone) {
  // A skater at (sx, sy) picks the puck up when its top-left corner lies at x sx+12..sx+63
  // and y sy+36..sy+49: the carried puck is drawn in the same place, rows 36 to 57.
  const int puck = puck_ink();
  for (const SpriteEntry& entry : sprite_catalogue) {
    if (!is_skater(entry.id)) continue;
    SCOPED_TRACE(entry.name);
    const Bitmap& image = sprite(entry.id);
    const int in_zone = count_pixels(image, puck, 12, 36, 62, 57);
    const int anywhere = count_pixels(image, puck, 0, 0, 63, 63);
    if (carries_puck(entry.id)) {
      EXPECT_GE(in_zone, 15);
      EXPECT_EQ(in_zone, anywhere);
    } else {
      EXPECT_EQ(anywhere, 0) << "a puck where none is carried";
    }
  }
}

TEST(ArtSprites, GoaliesShowNoPuckAndCoverTheirSaveZone) {
  // A goalie at (gx, gy) saves a puck whose top-left corner lies at x gx+12..gx+63 and
  // y gy+22..gy+63: most of the goalie is there, down to the ice.
  const int puck = puck_ink();
  for (SpriteId id :
       {SpriteId::goalieleft1, SpriteId::goalieleft2, SpriteId::goalieright1, SpriteId::goalieright2}) {
    SCOPED_TRACE(sprite_name(id));
    const Bitmap& image = sprite(id);
    EXPECT_EQ(count_pixels(image, puck, 0, 0, 63, 63), 0);
    const int figure = 64 * 64 - count_pixels(image, key, 0, 0, 63, 63);
    const int in_zone = 52 * 42 - count_pixels(image, key, 12, 22, 63, 63);
    EXPECT_GT(in_zone, figure * 6 / 10);
    EXPECT_LT(count_pixels(image, key, 0, 56, 63, 56), 64) << "stands on the ice";
  }
}

// Two images differ visibly when enough of their pixels differ.
int differing_pixels(SpriteId a, SpriteId b) {
  int count = 0;
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) count += sprite(a).at(x, y) != sprite(b).at(x, y) ? 1 : 0;
  }
  return count;
}

TEST(ArtSprites, AnimationFramesAreVisiblyDifferentPoses) {
  using enum SpriteId;
  const std::vector<std::vector<SpriteId>> sequences = {
      {firstplayerone, firstplayertwo},
      {firstplayerthree, firstplayerfour},
      {firstplayeronewpuck, firstplayertwowpuck},
      {firstplayerthreewpuck, firstplayerfourwpuck},
      {up1, up2, up3},
      {down1, down2, down3},
      {downwithpuck1, downwithpuck2, downwithpuck3},
      {upwithpuck1, upwithpuck3},
      {playershootingright1, playershootingright2, playershootingright3, playershootingright4,
       playershootingright5, playershootingright6},
      {playershootingleft1, playershootingleft2, playershootingleft3, playershootingleft4,
       playershootingleft5, playershootingleft6},
      {goalieleft1, goalieleft2},
      {goalieright1, goalieright2},
      {firstplayerone, playeronecheck, playeronedown},
  };
  for (const auto& sequence : sequences) {
    for (std::size_t i = 1; i < sequence.size(); ++i) {
      EXPECT_GT(differing_pixels(sequence[i - 1], sequence[i]), 60)
          << sprite_name(sequence[i - 1]) << " and " << sprite_name(sequence[i]);
    }
  }
}

TEST(ArtPuck, IsARoundPuckWithAHighlightInItsVisibleCorner) {
  const Bitmap& puck = sprite(SpriteId::puck);
  for (auto [x, y] : {std::pair{0, 0}, {14, 0}, {0, 14}, {14, 14}}) EXPECT_EQ(puck.at(x, y), key);
  for (auto [x, y] : {std::pair{7, 7}, {7, 0}, {0, 7}, {14, 7}, {7, 14}}) EXPECT_NE(puck.at(x, y), key);
  const int disc = 15 * 15 - count_pixels(puck, key, 0, 0, 14, 14);
  EXPECT_NEAR(disc, 177, 25);  // a circle 15 pixels across
  EXPECT_LT(luminance(puck.palette[static_cast<std::size_t>(puck_ink())]), 40);
  EXPECT_LT(count_pixels(puck, puck_ink(), 0, 0, 14, 14), disc) << "a highlight";
}

int run_rink_art(const std::string& arguments) { return run_build_tool("rink-art", arguments); }

TEST(ArtTool, WritesEveryPictureAndTheContactSheetIntoTheGivenPlaces) {
  const TemporaryFolder folder("art-test");
  const fs::path& out = folder.path();
  const fs::path sheet = out / "sheet.png";
  ASSERT_EQ(run_rink_art("--sheet " + sheet.string() + " " + out.string()), 0);
  for (const Expected& expected : every_file()) {
    EXPECT_EQ(fs::file_size(out / expected.file), fs::file_size(build_directory() / expected.file))
        << expected.file;
  }
  std::ifstream png(sheet, std::ios::binary);
  std::vector<unsigned char> head(24);
  png.read(reinterpret_cast<char*>(head.data()), 24);
  EXPECT_EQ(std::string(head.begin() + 1, head.begin() + 4), "PNG");
  const auto big_endian = [&](int at) {
    return head[at] << 24 | head[at + 1] << 16 | head[at + 2] << 8 | head[at + 3];
  };
  EXPECT_GE(big_endian(16), 2 * rink_width);   // the rink at twice its size, and more below
  EXPECT_GT(big_endian(20), 2 * rink_height);
}

TEST(ArtTool, FailsWithoutAWritableDirectoryOrWithWrongArguments) {
  EXPECT_EQ(run_rink_art(""), 2);
  EXPECT_EQ(run_rink_art("--sheet"), 2);
  EXPECT_EQ(run_rink_art("one two"), 2);
  EXPECT_EQ(run_rink_art("/nonexistent-directory/for-rink-art"), 1);
}

}  // namespace
