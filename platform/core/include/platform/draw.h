#pragma once
// The display stand-in: a display object, 8-bit surfaces in memory, palettes, clippers,
// blits, locks and the flip of the primary surface to the screen.

#include <cstdint>

#include "platform/result.h"
#include "platform/window.h"

namespace platform {

struct DirectDraw;
struct DirectDraw4;
struct Surface;
struct Palette;
struct Clipper;

struct PaletteEntry {
  std::uint8_t red;
  std::uint8_t green;
  std::uint8_t blue;
  std::uint8_t flags;
};
constexpr std::uint8_t pc_nocollapse = 0x04;

struct ColorKey {
  std::uint32_t low;
  std::uint32_t high;
};

// Which members of a SurfaceDesc are valid.
constexpr std::uint32_t ddsd_caps = 0x1;
constexpr std::uint32_t ddsd_height = 0x2;
constexpr std::uint32_t ddsd_width = 0x4;
constexpr std::uint32_t ddsd_pitch = 0x8;
constexpr std::uint32_t ddsd_backbuffercount = 0x20;
constexpr std::uint32_t ddsd_lpsurface = 0x800;
constexpr std::uint32_t ddsd_cksrcblt = 0x10000;

constexpr std::uint32_t ddscaps_backbuffer = 0x4;
constexpr std::uint32_t ddscaps_complex = 0x8;
constexpr std::uint32_t ddscaps_flip = 0x10;
constexpr std::uint32_t ddscaps_offscreenplain = 0x40;
constexpr std::uint32_t ddscaps_primarysurface = 0x200;
constexpr std::uint32_t ddscaps_videomemory = 0x4000;

struct SurfaceDesc {
  std::uint32_t flags = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t pitch = 0;                // filled by lock
  std::uint32_t back_buffer_count = 0;
  std::uint32_t caps = 0;
  ColorKey src_color_key{0, 0};
  std::uint8_t* memory = nullptr;        // filled by lock
};

constexpr std::uint32_t ddscl_fullscreen = 0x1;
constexpr std::uint32_t ddscl_allowreboot = 0x2;
constexpr std::uint32_t ddscl_exclusive = 0x10;
constexpr std::uint32_t ddscl_allowmodex = 0x40;

constexpr std::uint32_t ddpcaps_8bit = 0x4;
constexpr std::uint32_t ddpcaps_allow256 = 0x40;

constexpr std::uint32_t ddblt_colorfill = 0x400;
constexpr std::uint32_t ddblt_keysrc = 0x8000;
constexpr std::uint32_t ddblt_wait = 0x01000000;

constexpr std::uint32_t ddlock_wait = 0x1;
constexpr std::uint32_t ddflip_wait = 0x1;

struct BltFx {
  std::uint32_t size = sizeof(BltFx);
  std::uint32_t fill_color = 0;
};

// A clip list: this header, then `count` rectangles in the same block of memory.
constexpr std::uint32_t rdh_rectangles = 1;
struct RegionHeader {
  std::uint32_t size;         // of this header: 32
  std::uint32_t type;         // rdh_rectangles
  std::uint32_t count;
  std::uint32_t region_size;  // bytes of the rectangles
  Rect bound;
};
static_assert(sizeof(RegionHeader) == 32);

Result direct_draw_create(DirectDraw** out);
Result query_direct_draw4(DirectDraw* direct_draw, DirectDraw4** out);
Result set_cooperative_level(DirectDraw4* dd, Window window, std::uint32_t flags);
Result set_display_mode(DirectDraw4* dd, int width, int height, int bits_per_pixel, int refresh_rate,
                        std::uint32_t flags);

// A primary surface (with its back buffers) or an off-screen surface.
Result create_surface(DirectDraw4* dd, const SurfaceDesc& desc, Surface** out);
Result get_attached_surface(Surface* surface, std::uint32_t caps, Surface** out);

Result create_palette(DirectDraw4* dd, std::uint32_t caps, const PaletteEntry* entries, Palette** out);
Result set_palette(Surface* surface, Palette* palette);
Result set_entries(Palette* palette, std::uint32_t flags, int first, int count, const PaletteEntry* entries);

Result create_clipper(DirectDraw4* dd, std::uint32_t flags, Clipper** out);
Result set_clip_list(Clipper* clipper, const RegionHeader* region, std::uint32_t flags);
Result set_clipper(Surface* surface, Clipper* clipper);

// Copies, scales (nearest pixel), skips the source colour key or fills with one index.
// A null rectangle means the whole surface.
Result blt(Surface* dest, const Rect* dest_rect, Surface* source, const Rect* source_rect,
           std::uint32_t flags, const BltFx* fx);

// Gives the surface's memory and pitch in `desc`; the rectangle must be null (whole surface).
Result lock(Surface* surface, const Rect* rect, SurfaceDesc* desc, std::uint32_t flags);
Result unlock(Surface* surface, const Rect* rect);

// Shows the back buffer through the palette attached to the primary surface.
Result flip(Surface* primary, Surface* override_surface, std::uint32_t flags);

// Each release drops one reference and frees the object with its last one.
void release(DirectDraw* object);
void release(DirectDraw4* object);
void release(Surface* object);
void release(Palette* object);
void release(Clipper* object);

// Why the last call of this kind failed, for the one line a failed start-up prints.
const char* last_error();

}  // namespace platform
