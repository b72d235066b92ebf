#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "display/display_ops.h"
#include "display/startup.h"
#include "display/team_colours.h"
#include "platform/backend.h"
#include "platform/headless.h"
#include "platform/system.h"
#include "platform/testing.h"

namespace {

using platform::testing::Call;

constexpr int rink_seed = 100;

// Pixel (x, y) of test picture `seed`; no two rows of a picture are alike.
std::uint8_t picture_value(int seed, int x, int y) { return static_cast<std::uint8_t>(x + 3 * y + 11 * seed); }

// Colour table entry i is stored as blue i, green i, red 255 - i.
platform::PaletteEntry file_colour(int i) {
  return {static_cast<std::uint8_t>(255 - i), static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i), 0};
}

// Message boxes as "text/caption".
std::vector<std::string> read_failures(const std::vector<std::string>& texts) {
  std::vector<std::string> boxes;
  for (const std::string& text : texts) boxes.push_back(text + "/error");
  return boxes;
}

// Start-up over the headless backend, finding bitmaps only in a directory of the test's own.
class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/startup_test_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    previous_dir_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_);  // the second place bare names are looked for
    platform::set_search_directory(dir_.c_str());
    platform::testing::clear_failures();
    platform::testing::set_extra_pitch(0);
    platform::use_backend(&backend_);
  }

  void TearDown() override {
    rink_teardown(display);
    EXPECT_EQ(platform::testing::live_objects(), 0);
    EXPECT_EQ(display.bitmap.pixels, nullptr);
    platform::testing::clear_failures();
    platform::testing::set_extra_pitch(0);
    platform::use_backend(nullptr);
    platform::set_search_directory(nullptr);
    std::filesystem::current_path(previous_dir_);
    std::filesystem::remove_all(dir_);
  }

  // An 8-bit bottom-up bitmap of picture `seed`, or of the same values at another depth.
  void write_picture(const std::string& file, int width, int height, int seed, std::uint16_t bits = 8) {
    const int row_bytes = width * bits / 8;
    const auto image_size = static_cast<std::uint32_t>(row_bytes * height);
    const BmpFileHeader file_header{0x4D42, 54 + 1024 + image_size, 0, 0, 54 + 1024};
    const BmpInfoHeader info{40, width, height, 1, bits, 0, image_size, 0, 0, 0, 0};
    std::vector<std::uint8_t> bytes(sizeof file_header + sizeof info);
    std::memcpy(bytes.data(), &file_header, sizeof file_header);
    std::memcpy(bytes.data() + sizeof file_header, &info, sizeof info);
    for (int i = 0; i < 256; ++i) {
      const platform::PaletteEntry colour = file_colour(i);
      bytes.insert(bytes.end(), {colour.blue, colour.green, colour.red, 0});
    }
    for (int y = height - 1; y >= 0; --y) {
      for (int x = 0; x < row_bytes; ++x) bytes.push_back(picture_value(seed, x, y));
    }
    std::ofstream(dir_ + "/" + file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }

  void write_all_pictures(const std::set<SpriteId>& left_out = {}) {
    write_picture("hockeyrink.bmp", 640, 480, rink_seed);
    for (const SpriteEntry& entry : sprite_catalogue) {
      if (left_out.contains(entry.id)) continue;
      write_picture(entry.file, entry.width, entry.height, static_cast<int>(entry.id));
    }
  }

  std::vector<std::string> boxes() const {
    std::vector<std::string> shown;
    for (const platform::RecordedMessage& box : backend_.messages()) shown.push_back(box.text + "/" + box.caption);
    return shown;
  }

  platform::Surface* sprite(SpriteId id) const { return display.sprites[sprite_index(id)]; }

  // Every pixel is the picture's own (seed >= 0) or index 0 (seed < 0).
  static void expect_surface(const platform::Surface* surface, int width, int height, int seed) {
    ASSERT_NE(surface, nullptr);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const std::uint8_t want = seed < 0 ? 0 : picture_value(seed, x, y);
        ASSERT_EQ(platform::testing::pixel(surface, x, y), want) << "at " << x << "," << y;
      }
    }
  }

  void expect_sprite(SpriteId id, bool loaded) const {
    SCOPED_TRACE(sprite_name(id));
    const SpriteEntry& entry = sprite_entry(id);
    expect_surface(sprite(id), entry.width, entry.height, loaded ? static_cast<int>(id) : -1);
  }

  // Shows the back buffer, so that the backend records the palette in force.
  const std::array<platform::PaletteEntry, 256>& shown_palette() {
    EXPECT_FALSE(platform::failed(platform::flip(display.primary, nullptr, platform::ddflip_wait)));
    return backend_.presented_palette();
  }

  // Start-up on this test's display, its random colours from this test's sequence.
  int start() { return rink_startup(display, random); }

  platform::HeadlessBackend backend_;
  DisplayContext display;
  platform::Random random;
  std::string dir_;
  std::filesystem::path previous_dir_;
};

class LoadedPictures : public StartupTest, public ::testing::WithParamInterface<int> {};

TEST_P(LoadedPictures, ReachTheirSurfacesTopRowFirstWithTheRinkColours) {
  const int extra_pitch = GetParam();
  platform::testing::set_extra_pitch(extra_pitch);
  write_all_pictures();
  ASSERT_EQ(start(), 1) << display.failed_step;
  EXPECT_STREQ(display.failed_step, "");
  EXPECT_EQ(boxes(), std::vector<std::string>{});
  EXPECT_NE(display.clipper, nullptr);
  EXPECT_EQ(platform::testing::surface_pitch(display.rink), 640 + extra_pitch);
  EXPECT_EQ(platform::testing::surface_pitch(sprite(SpriteId::puck)), 16 + extra_pitch);
  expect_surface(display.rink, 640, 480, rink_seed);
  for (const SpriteEntry& entry : sprite_catalogue) expect_sprite(entry.id, true);
  const auto& palette = shown_palette();
  for (int i : {0, 1, 117, 200, 255}) {
    EXPECT_EQ(palette[i].red, file_colour(i).red) << "entry " << i;
    EXPECT_EQ(palette[i].green, file_colour(i).green) << "entry " << i;
    EXPECT_EQ(palette[i].blue, file_colour(i).blue) << "entry " << i;
  }
}

TEST_P(LoadedPictures, SkaterImagesGetCopiesWithOnlyTheTeamsEntriesMovedToTheSecondTeams) {
  platform::testing::set_extra_pitch(GetParam());
  write_all_pictures();  // every picture holds every index
  ASSERT_EQ(start(), 1) << display.failed_step;
  int moved = 0;
  for (const SpriteEntry& entry : sprite_catalogue) {
    SCOPED_TRACE(entry.name);
    const platform::Surface* copy = display.second_team[sprite_index(entry.id)];
    if (!is_skater_image(entry.id)) {
      EXPECT_EQ(copy, nullptr);
      continue;
    }
    ASSERT_NE(copy, nullptr);
    expect_sprite(entry.id, true);  // the shared image stays as it was
    for (int y = 0; y < entry.height; ++y) {
      for (int x = 0; x < entry.width; ++x) {
        const int shared = picture_value(static_cast<int>(entry.id), x, y);
        const int team_entry = shared - first_team_ink;
        const bool team_colour = team_entry >= 0 && team_entry < team_ink_count;
        moved += team_colour;
        ASSERT_EQ(platform::testing::pixel(copy, x, y), team_colour ? second_team_ink + team_entry : shared)
            << "at " << x << "," << y;
      }
    }
  }
  EXPECT_GT(moved, 33 * team_ink_count);
}

INSTANTIATE_TEST_SUITE_P(Pitch, LoadedPictures, ::testing::Values(0, 8));

int count_index(const platform::Surface* surface, int width, int height, std::uint8_t index) {
  int count = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) count += platform::testing::pixel(surface, x, y) == index;
  }
  return count;
}

TEST_F(StartupTest, TheBuildsOwnBitmapsLoadWithoutAMessage) {
  platform::set_search_directory(nullptr);  // the build writes them next to this program
  ASSERT_EQ(start(), 1) << display.failed_step;
  EXPECT_EQ(boxes(), std::vector<std::string>{});
  EXPECT_EQ(count_index(display.rink, 640, 480, sprite_color_key), 0);  // the key is never a visible colour
  for (const SpriteEntry& entry : sprite_catalogue) {  // every sprite has a see-through part
    EXPECT_GT(count_index(sprite(entry.id), entry.width, entry.height, sprite_color_key), 0) << entry.name;
  }
}

TEST_F(StartupTest, MissingFilesShowTheirMessagesInLoadOrderAndLeaveIndexZero) {
  ASSERT_EQ(start(), 1);
  std::vector<std::string> texts{"error1"};
  for (const SpriteEntry& entry : sprite_catalogue) texts.push_back(entry.message);
  EXPECT_EQ(boxes(), read_failures(texts));
  expect_surface(display.rink, 640, 480, -1);
  for (const SpriteEntry& entry : sprite_catalogue) expect_sprite(entry.id, false);
}

TEST_F(StartupTest, TwoMissingGoalieFilesShowErrorzTwice) {
  write_all_pictures({SpriteId::goalieleft2, SpriteId::goalieright1});
  ASSERT_EQ(start(), 1);
  EXPECT_EQ(boxes(), read_failures({"errorz", "errorz"}));
  expect_sprite(SpriteId::goalieleft1, true);
  expect_sprite(SpriteId::goalieleft2, false);
  expect_sprite(SpriteId::goalieright1, false);
  expect_sprite(SpriteId::goalieright2, true);
}

TEST_F(StartupTest, PicturesOfTheWrongSizeOrDepthCountAsUnread) {
  write_all_pictures();
  write_picture("hockeyrink.bmp", 320, 240, rink_seed);
  write_picture("firstplayertwo.bmp", 32, 32, 1);
  write_picture("firstplayerthree.bmp", 64, 64, 2, 16);
  write_picture("puck.bmp", 64, 64, 37);
  std::remove((dir_ + "/goalieleft1.bmp").c_str());
  ::testing::internal::CaptureStderr();
  ASSERT_EQ(start(), 1);
  // The boxes keep the game's texts; standard error names the file and the reason.
  EXPECT_EQ(boxes(), read_failures({"error1", "error1", "error2", "errory", "error loading bitmap"}));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "rink: error: error1: hockeyrink.bmp: not an 8-bit bitmap of 640 by 480\n"
            "rink: error: error1: firstplayertwo.bmp: not an 8-bit bitmap of 64 by 64\n"
            "rink: error: error2: firstplayerthree.bmp: not an 8-bit bitmap of 64 by 64\n"
            "rink: error: errory: goalieleft1.bmp: not found\n"
            "rink: error: error loading bitmap: puck.bmp: not an 8-bit bitmap of 16 by 16\n");
  expect_surface(display.rink, 640, 480, -1);
  for (SpriteId id : {SpriteId::firstplayertwo, SpriteId::firstplayerthree, SpriteId::puck}) expect_sprite(id, false);
  expect_sprite(SpriteId::firstplayerfour, true);
}

TEST_F(StartupTest, StartPaletteTakesTheFirst762RandomValuesAndTheGameGoesOnFromThere) {
  std::vector<int> sequence(763);
  for (int& value : sequence) value = random.next();
  random = {};
  write_all_pictures();
  platform::testing::fail_call(Call::set_entries);
  ASSERT_EQ(start(), 1);
  EXPECT_EQ(boxes(), std::vector<std::string>{"error/eror"});
  const auto& palette = shown_palette();
  EXPECT_EQ(palette[0].red + palette[0].green + palette[0].blue, 0);
  EXPECT_EQ(palette[255].red & palette[255].green & palette[255].blue, 255);
  for (int i = 1; i < 255; ++i) {
    const int* rgb = &sequence[static_cast<std::size_t>(i - 1) * 3];
    ASSERT_EQ(palette[i].red, rgb[0] % 256) << "entry " << i;
    ASSERT_EQ(palette[i].green, rgb[1] % 256) << "entry " << i;
    ASSERT_EQ(palette[i].blue, rgb[2] % 256) << "entry " << i;
  }
  EXPECT_EQ(random.next(), sequence[762]);
}

TEST_F(StartupTest, SpriteSurfacesAllExistBeforeTheFirstPictureIsRead) {
  write_picture("hockeyrink.bmp", 640, 480, rink_seed);
  platform::testing::fail_call(Call::create_surface, 39);  // the last skater or goalie surface
  EXPECT_EQ(start(), 0);
  EXPECT_EQ(boxes(), std::vector<std::string>{});  // not one of the missing sprite files was tried
}

TEST_F(StartupTest, AFillTellsWhetherItWasDone) {
  write_all_pictures();
  ASSERT_EQ(start(), 1);
  platform::SurfaceDesc locked;
  ASSERT_EQ(platform::lock(display.rink, nullptr, &locked, platform::ddlock_wait), platform::ok);
  EXPECT_EQ(fill_surface(display.rink, 5), 0);  // a locked surface takes no fill
  platform::unlock(display.rink, nullptr);
  EXPECT_EQ(fill_surface(display.rink, 5), 1);
  EXPECT_EQ(count_index(display.rink, 640, 480, 5), 640 * 480);
}

struct FailedStep {
  Call call;
  int nth;
  const char* step;
};

void PrintTo(const FailedStep& failed, std::ostream* out) { *out << failed.step; }

class FailedSteps : public StartupTest, public ::testing::WithParamInterface<FailedStep> {};

TEST_P(FailedSteps, EndStartUpSilentlyAndNameTheStep) {
  write_all_pictures();
  platform::testing::fail_call(GetParam().call, GetParam().nth);
  EXPECT_EQ(start(), 0);
  EXPECT_STREQ(display.failed_step, GetParam().step);
  EXPECT_EQ(boxes(), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    EachStep, FailedSteps,
    ::testing::Values(FailedStep{Call::direct_draw_create, 1, "creating the DirectDraw object"},
                      FailedStep{Call::query_interface, 1, "getting the DirectDraw 4 interface"},
                      FailedStep{Call::set_cooperative_level, 1, "taking the screen for the game window"},
                      FailedStep{Call::set_display_mode, 1, "setting the display mode 640x480x8"},
                      FailedStep{Call::create_surface, 1, "creating the primary surface"},
                      FailedStep{Call::get_attached_surface, 1, "getting the back buffer"},
                      FailedStep{Call::create_palette, 1, "creating the palette"},
                      FailedStep{Call::set_palette, 1, "attaching the palette"},
                      FailedStep{Call::create_surface, 2, "creating the rink surface"},
                      FailedStep{Call::lock, 1, "locking the surface for hockeyrink.bmp"},
                      FailedStep{Call::unlock, 1, "unlocking the surface for hockeyrink.bmp"},
                      FailedStep{Call::create_surface, 3, "creating the surface for firstplayerone.bmp"},
                      FailedStep{Call::create_surface, 39, "creating the surface for goalieright2.bmp"},
                      FailedStep{Call::lock, 2, "locking the surface for firstplayerone.bmp"},
                      FailedStep{Call::unlock, 38, "unlocking the surface for goalieright2.bmp"},
                      FailedStep{Call::create_surface, 40, "creating the surface for puck.bmp"},
                      FailedStep{Call::lock, 39, "locking the surface for puck.bmp"}));

// The 33 skater copies come after everything else: creations 41 to 73, locks and unlocks 40
// to 72.
class FailedCopy : public StartupTest, public ::testing::WithParamInterface<FailedStep> {};

TEST_P(FailedCopy, KeepsNoCopyAndTheSecondSkaterWearsTheSharedImages) {
  write_all_pictures();
  platform::testing::fail_call(GetParam().call, GetParam().nth);
  ASSERT_EQ(start(), 1) << display.failed_step;
  EXPECT_STREQ(display.failed_step, "");
  EXPECT_EQ(boxes(), std::vector<std::string>{});
  for (const platform::Surface* copy : display.second_team) EXPECT_EQ(copy, nullptr);
  Canvas canvas = canvas_of(display);
  ASSERT_TRUE(blit_second_skater(canvas, SpriteId::up2, 0, 0));
  const int shared_pixel = picture_value(static_cast<int>(SpriteId::up2), 10, 10);
  EXPECT_EQ(platform::testing::pixel(display.back_buffer, 10, 10), shared_pixel);
  // TearDown checks that the copies made before the failure were released.
}

INSTANTIATE_TEST_SUITE_P(
    EachStep, FailedCopy,
    ::testing::Values(FailedStep{Call::create_surface, 41, "creating the first copy"},
                      FailedStep{Call::lock, 60, "locking a copy halfway"},
                      FailedStep{Call::unlock, 72, "unlocking the last copy"}));

const char* const clipper_calls[] = {"create", "clip_list", "attach"};

class FailedClipper : public StartupTest, public ::testing::WithParamInterface<Call> {};

TEST_P(FailedClipper, LeavesTheBackBufferUnclippedAndStartUpGoesOn) {
  write_all_pictures();
  platform::testing::fail_call(GetParam());
  EXPECT_EQ(start(), 1);
  EXPECT_EQ(display.clipper, nullptr);
  EXPECT_EQ(boxes(), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(EachCall, FailedClipper,
                         ::testing::Values(Call::create_clipper, Call::set_clip_list, Call::set_clipper),
                         [](const ::testing::TestParamInfo<Call>& info) { return clipper_calls[info.index]; });

}  // namespace
