#include "display/startup.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "display/display_ops.h"
#include "display/team_colours.h"
#include "platform/system.h"

namespace {

constexpr int screen_width = 640;
constexpr int screen_height = 480;
constexpr int screen_depth = 8;
constexpr const char* rink_file = "hockeyrink.bmp";
constexpr const char* rink_message = "error1";
constexpr const char* read_caption = "error";
constexpr std::size_t puck_slot = sprite_index(SpriteId::puck);
// Blits onto the back buffer never reach column 639 or row 479.
constexpr platform::Rect visible_area{0, 0, screen_width - 1, screen_height - 1};

platform::SurfaceDesc offscreen_desc(int width, int height, std::uint32_t colour_key) {
  platform::SurfaceDesc desc;
  desc.flags = platform::ddsd_caps | platform::ddsd_height | platform::ddsd_width | platform::ddsd_cksrcblt;
  desc.width = width;
  desc.height = height;
  desc.caps = platform::ddscaps_offscreenplain | platform::ddscaps_videomemory;
  desc.src_color_key = {colour_key, colour_key};
  return desc;
}

// The clip list: the header, then the rectangles, bounded by the smallest box that holds them.
platform::RegionHeader* build_region(int count, const platform::Rect* rects) {
  const std::size_t rect_bytes = sizeof(platform::Rect) * static_cast<std::size_t>(count);
  auto* region = static_cast<platform::RegionHeader*>(std::malloc(sizeof(platform::RegionHeader) + rect_bytes));
  if (region == nullptr) return nullptr;
  region->size = sizeof(platform::RegionHeader);
  region->type = platform::rdh_rectangles;
  region->count = static_cast<std::uint32_t>(count);
  region->region_size = static_cast<std::uint32_t>(rect_bytes);
  region->bound = {64000, 64000, -64000, -64000};
  for (int i = 0; i < count; ++i) {
    region->bound.left = std::min(region->bound.left, rects[i].left);
    region->bound.top = std::min(region->bound.top, rects[i].top);
    region->bound.right = std::max(region->bound.right, rects[i].right);
    region->bound.bottom = std::max(region->bound.bottom, rects[i].bottom);
  }
  std::memcpy(region + 1, rects, rect_bytes);
  return region;
}

template <typename Object>
void release_held(Object*& object) {
  if (object == nullptr) return;
  platform::release(object);
  object = nullptr;
}

// Moves the team's entries of a locked picture to the second team's.
void recolour_for_second_team(const platform::SurfaceDesc& locked) {
  for (int row = 0; row < locked.height; ++row) {
    std::uint8_t* pixel = locked.memory + static_cast<std::ptrdiff_t>(row) * locked.pitch;
    for (int x = 0; x < locked.width; ++x, ++pixel) *pixel = in_second_team_colours(*pixel);
  }
}

std::uint8_t random_channel(platform::Random& random) { return static_cast<std::uint8_t>(random.next() % 256); }

// Black, white and random colours between them: 762 draws from the game's generator.
void fill_start_palette(platform::Random& random, platform::PaletteEntry (&start_palette)[256]) {
  start_palette[0] = {0, 0, 0, platform::pc_nocollapse};
  for (int i = 1; i < 255; ++i) {
    platform::PaletteEntry& entry = start_palette[i];
    entry.red = random_channel(random);
    entry.green = random_channel(random);
    entry.blue = random_channel(random);
    entry.flags = platform::pc_nocollapse;
  }
  start_palette[255] = {255, 255, 255, platform::pc_nocollapse};
}

// Start-up's steps over the display they fill.
struct StartUp {
  DisplayContext& display;

  // True when the call succeeded; otherwise remembers which step it was.
  bool succeeded(platform::Result result, const char* step, const char* subject = "") {
    if (!platform::failed(result)) return true;
    std::snprintf(display.failed_step, sizeof display.failed_step, "%s%s", step, subject);
    return false;
  }

  bool take_display() {
    constexpr std::uint32_t exclusive_full_screen = platform::ddscl_fullscreen | platform::ddscl_allowreboot |
                                                    platform::ddscl_exclusive | platform::ddscl_allowmodex;
    return succeeded(platform::direct_draw_create(&display.direct_draw), "creating the DirectDraw object") &&
           succeeded(platform::query_direct_draw4(display.direct_draw, &display.direct_draw4),
                     "getting the DirectDraw 4 interface") &&
           succeeded(platform::set_cooperative_level(display.direct_draw4, display.window, exclusive_full_screen),
                     "taking the screen for the game window") &&
           succeeded(platform::set_display_mode(display.direct_draw4, screen_width, screen_height, screen_depth, 0, 0),
                     "setting the display mode 640x480x8");
  }

  bool create_flipping_surfaces() {
    platform::SurfaceDesc desc;
    desc.flags = platform::ddsd_caps | platform::ddsd_backbuffercount;
    desc.back_buffer_count = 1;
    desc.caps = platform::ddscaps_primarysurface | platform::ddscaps_flip | platform::ddscaps_complex;
    return succeeded(platform::create_surface(display.direct_draw4, desc, &display.primary),
                     "creating the primary surface") &&
           succeeded(
               platform::get_attached_surface(display.primary, platform::ddscaps_backbuffer, &display.back_buffer),
               "getting the back buffer");
  }

  bool create_display_palette(platform::Random& random) {
    platform::PaletteEntry start_palette[256];  // the colours shown until the rink's own arrive
    fill_start_palette(random, start_palette);
    return succeeded(platform::create_palette(display.direct_draw4, platform::ddpcaps_8bit | platform::ddpcaps_allow256,
                                              start_palette, &display.palette),
                     "creating the palette") &&
           succeeded(platform::set_palette(display.primary, display.palette), "attaching the palette");
  }

  // Reads a picture into the shared image. Only an 8-bit picture of exactly the surface's size
  // can be copied into it; anything else counts as unreadable and gets its message box, whose line
  // on standard error names the file and the reason.
  bool read_picture(const char* file, int width, int height, const char* message) {
    const BmpInfoHeader& info = display.bitmap.info_header;
    const bool read = read_bmp(&display.bitmap, file) == 1;
    const bool usable = read && info.bit_count == 8 && info.width == width && info.height == height;
    if (!usable) {
      char detail[160];
      if (read) {
        std::snprintf(detail, sizeof detail, "%s: not an 8-bit bitmap of %d by %d", file, width, height);
      } else {
        std::snprintf(detail, sizeof detail, "%s: %s", file, display.bitmap.failure);
      }
      free_bmp(&display.bitmap);
      show_message(display, message, read_caption, detail);
    }
    return usable;
  }

  // One block when the rows lie back to back in the surface, row by row otherwise.
  void copy_picture(const platform::SurfaceDesc& locked, int width, int height) {
    const auto row_bytes = static_cast<std::size_t>(width);
    if (locked.pitch == width) {
      std::memcpy(locked.memory, display.bitmap.pixels, row_bytes * static_cast<std::size_t>(height));
      return;
    }
    for (int row = 0; row < height; ++row) {
      std::memcpy(locked.memory + static_cast<std::ptrdiff_t>(row) * locked.pitch,
                  display.bitmap.pixels + row_bytes * static_cast<std::size_t>(row), row_bytes);
    }
  }

  // Clears the surface to index 0 and copies the picture in, when there is one. The shared image
  // gives up its pixels either way.
  bool copy_into_surface(platform::Surface* surface, const char* file, int width, int height, bool have_picture) {
    fill_surface(surface, 0);
    platform::SurfaceDesc locked;
    bool done = succeeded(platform::lock(surface, nullptr, &locked, platform::ddlock_wait), "locking the surface for ",
                          file);
    if (done) {
      if (have_picture) copy_picture(locked, width, height);
      done = succeeded(platform::unlock(surface, nullptr), "unlocking the surface for ", file);
    }
    free_bmp(&display.bitmap);
    return done;
  }

  bool load_rink() {
    if (!succeeded(platform::create_surface(display.direct_draw4, offscreen_desc(screen_width, screen_height, 0),
                                            &display.rink),
                   "creating the rink surface")) {
      return false;
    }
    const bool have_picture = read_picture(rink_file, screen_width, screen_height, rink_message);
    // From here on the screen shows the rink file's colours; the sprites are drawn in them too.
    if (platform::failed(platform::set_entries(display.palette, 0, 0, 256, display.bitmap.palette))) {
      show_message(display, "error", "eror");
    }
    return copy_into_surface(display.rink, rink_file, screen_width, screen_height, have_picture);
  }

  platform::Surface*& sprite_surface(const SpriteEntry& entry) { return display.sprites[sprite_index(entry.id)]; }

  bool create_sprite_surface(const SpriteEntry& entry) {
    return succeeded(platform::create_surface(display.direct_draw4,
                                              offscreen_desc(entry.width, entry.height, sprite_color_key),
                                              &sprite_surface(entry)),
                     "creating the surface for ", entry.file);
  }

  bool load_sprite(const SpriteEntry& entry) {
    return load_image(display, sprite_surface(entry), entry.file, entry.width, entry.height, entry.message);
  }

  // Every skater and goalie surface exists before the first of their pictures is read; the puck
  // comes last, created and loaded on its own.
  bool load_sprites() {
    for (std::size_t i = 0; i < puck_slot; ++i) {
      if (!create_sprite_surface(sprite_catalogue[i])) return false;
    }
    for (std::size_t i = 0; i < puck_slot; ++i) {
      if (!load_sprite(sprite_catalogue[i])) return false;
    }
    const SpriteEntry& puck = sprite_catalogue[puck_slot];
    return create_sprite_surface(puck) && load_sprite(puck);
  }

  // A keyed copy of a loaded skater image in the second team's colours.
  bool copy_in_second_team_colours(const SpriteEntry& entry, platform::Surface*& copy) {
    const platform::SurfaceDesc desc = offscreen_desc(entry.width, entry.height, sprite_color_key);
    if (platform::failed(platform::create_surface(display.direct_draw4, desc, &copy)) ||
        platform::failed(platform::blt(copy, nullptr, sprite_surface(entry), nullptr, platform::ddblt_wait, nullptr))) {
      return false;
    }
    platform::SurfaceDesc locked;
    if (platform::failed(platform::lock(copy, nullptr, &locked, platform::ddlock_wait))) return false;
    recolour_for_second_team(locked);
    return !platform::failed(platform::unlock(copy, nullptr));
  }

  void release_second_team() {
    for (platform::Surface*& copy : display.second_team) release_held(copy);
  }

  // The second team's colours are for looks only: when a copy cannot be made the second skater
  // wears the shared images throughout, and start-up goes on.
  void make_second_team() {
    for (const SpriteEntry& entry : sprite_catalogue) {
      if (!is_skater_image(entry.id)) continue;
      if (!copy_in_second_team_colours(entry, display.second_team[sprite_index(entry.id)])) {
        release_second_team();
        return;
      }
    }
  }
};

}  // namespace

int rink_startup(DisplayContext& display, platform::Random& random) {
  display.failed_step[0] = '\0';
  StartUp start{display};
  if (!start.take_display() || !start.create_flipping_surfaces()) return 0;
  if (!start.create_display_palette(random)) return 0;
  // Without a clipper the game still runs; blits then have to stay inside the back buffer.
  display.clipper = make_clipper(display, display.back_buffer, 1, &visible_area);
  if (!start.load_rink() || !start.load_sprites()) return 0;
  start.make_second_team();
  return 1;
}

bool game_data_found() {
  const auto present = [](const char* file) {
    const platform::FileHandle handle = platform::open_file(file);
    platform::close_file(handle);
    return handle != platform::hfile_error || std::strcmp(platform::open_failure(), platform::file_not_found) != 0;
  };
  return present(rink_file) ||
         std::any_of(sprite_catalogue.begin(), sprite_catalogue.end(),
                     [&present](const SpriteEntry& entry) { return present(entry.file); });
}

Canvas spare_canvas(const DisplayContext& display) {
  Canvas canvas{&display, nullptr, nullptr, nullptr, nullptr, {}};
  if (platform::failed(platform::create_surface(display.direct_draw4, offscreen_desc(screen_width, screen_height, 0),
                                                &canvas.back_buffer))) {
    canvas.back_buffer = nullptr;
  }
  return canvas;
}

void release_spare(Canvas& canvas) {
  release_text(canvas);
  release_held(canvas.back_buffer);
}

int rink_teardown(DisplayContext& display) {
  release_held(display.palette);
  release_held(display.back_buffer);
  release_held(display.primary);
  for (platform::Surface*& sprite : display.sprites) release_held(sprite);
  for (platform::Surface*& copy : display.second_team) release_held(copy);
  release_held(display.rink);
  release_held(display.clipper);
  release_held(display.direct_draw4);
  release_held(display.direct_draw);
  return 1;
}

platform::Clipper* make_clipper(const DisplayContext& display, platform::Surface* surface, int count,
                                const platform::Rect* rects) {
  platform::Clipper* clipper = nullptr;
  if (count < 0 || platform::failed(platform::create_clipper(display.direct_draw4, 0, &clipper))) return nullptr;
  platform::RegionHeader* region = build_region(count, rects);
  const bool attached = region != nullptr && !platform::failed(platform::set_clip_list(clipper, region, 0)) &&
                        !platform::failed(platform::set_clipper(surface, clipper));
  std::free(region);
  if (attached) return clipper;
  // A clipper that never reached the surface would otherwise outlive the display.
  platform::release(clipper);
  return nullptr;
}

int fill_surface(platform::Surface* surface, int index) {
  platform::BltFx fx;
  fx.fill_color = static_cast<std::uint32_t>(index);
  return platform::failed(
             platform::blt(surface, nullptr, nullptr, nullptr, platform::ddblt_colorfill | platform::ddblt_wait, &fx))
             ? 0
             : 1;
}

bool load_image(DisplayContext& display, platform::Surface* surface, const char* file, int width, int height,
                const char* message) {
  StartUp start{display};
  const bool have_picture = start.read_picture(file, width, height, message);
  return start.copy_into_surface(surface, file, width, height, have_picture);
}
