#include <cstdio>

#include "objects.h"
#include "platform/backend.h"

namespace platform {

namespace {

char last_error_text[256] = "";
const Palette* attached_display_palette = nullptr;

using Call = HookedCall;

template <typename T>
T* make_object() {
  count_object(1);
  return new T();
}

template <typename T>
bool drop_reference(T* object) {
  if (object == nullptr || --object->references > 0) return false;
  count_object(-1);
  return true;
}

Surface* make_surface(int width, int height, int pitch) {
  static std::uint64_t serials = 0;
  auto* surface = make_object<Surface>();
  surface->serial = ++serials;
  surface->width = width;
  surface->height = height;
  surface->pitch = pitch;
  surface->memory.assign(static_cast<std::size_t>(pitch) * height, 0);
  return surface;
}

Result create_primary(DirectDraw4* dd, const SurfaceDesc& desc, Surface** out) {
  if (dd->mode_width == 0) {
    set_last_error("no display mode has been set");
    return err_no_mode;
  }
  auto* primary = make_surface(dd->mode_width, dd->mode_height, dd->mode_width);
  primary->owner = dd;
  ++dd->references;
  const bool flipping = (desc.flags & ddsd_backbuffercount) && desc.back_buffer_count > 0 &&
                        (desc.caps & ddscaps_flip);
  if (flipping) {
    primary->back_buffer = make_surface(dd->mode_width, dd->mode_height, dd->mode_width);
    primary->back_buffer->damage.shown.prepare(dd->mode_width, dd->mode_height);
  }
  *out = primary;
  return ok;
}

Result create_offscreen(const SurfaceDesc& desc, Surface** out) {
  const std::uint32_t size_flags = ddsd_width | ddsd_height;
  if ((desc.flags & size_flags) != size_flags || desc.width <= 0 || desc.height <= 0) {
    return err_invalid_params;
  }
  const int pitch = ((desc.width + 3) & ~3) + extra_pitch();
  auto* surface = make_surface(desc.width, desc.height, pitch);
  if (desc.flags & ddsd_cksrcblt) {
    surface->keyed = true;
    surface->key = desc.src_color_key;
  }
  *out = surface;
  return ok;
}

}  // namespace

void set_last_error(const char* text) { std::snprintf(last_error_text, sizeof last_error_text, "%s", text); }

const char* last_error() { return last_error_text; }

const Palette* display_palette() { return attached_display_palette; }

Result direct_draw_create(DirectDraw** out) {
  if (out == nullptr) return err_invalid_params;
  *out = nullptr;
  if (injected_failure(Call::direct_draw_create)) return err_injected;
  *out = make_object<DirectDraw>();
  return ok;
}

Result query_direct_draw4(DirectDraw* direct_draw, DirectDraw4** out) {
  if (direct_draw == nullptr || out == nullptr) return err_invalid_params;
  *out = nullptr;
  if (injected_failure(Call::query_interface)) return err_injected;
  auto* dd = make_object<DirectDraw4>();
  dd->parent = direct_draw;
  ++direct_draw->references;
  *out = dd;
  return ok;
}

Result set_cooperative_level(DirectDraw4* dd, Window window, std::uint32_t flags) {
  if (dd == nullptr) return err_invalid_params;
  if (injected_failure(Call::set_cooperative_level)) return err_injected;
  dd->window = window;
  dd->exclusive = (flags & ddscl_exclusive) && (flags & ddscl_fullscreen);
  return ok;
}

Result set_display_mode(DirectDraw4* dd, int width, int height, int bits_per_pixel, int /*refresh_rate*/,
                        std::uint32_t /*flags*/) {
  if (dd == nullptr) return err_invalid_params;
  if (injected_failure(Call::set_display_mode) || !dd->exclusive || bits_per_pixel != 8 ||
      !backend().set_display_mode(width, height, bits_per_pixel)) {
    set_last_error("the screen cannot be taken at this size");
    return err_no_mode;
  }
  dd->mode_width = width;
  dd->mode_height = height;
  return ok;
}

Result create_surface(DirectDraw4* dd, const SurfaceDesc& desc, Surface** out) {
  if (dd == nullptr || out == nullptr) return err_invalid_params;
  *out = nullptr;
  if (injected_failure(Call::create_surface)) return err_injected;
  if ((desc.flags & ddsd_caps) && (desc.caps & ddscaps_primarysurface)) return create_primary(dd, desc, out);
  return create_offscreen(desc, out);
}

Result get_attached_surface(Surface* surface, std::uint32_t caps, Surface** out) {
  if (surface == nullptr || out == nullptr) return err_invalid_params;
  *out = nullptr;
  if (injected_failure(Call::get_attached_surface)) return err_injected;
  if (!(caps & ddscaps_backbuffer) || surface->back_buffer == nullptr) return err_generic;
  ++surface->back_buffer->references;
  *out = surface->back_buffer;
  return ok;
}

Result create_palette(DirectDraw4* dd, std::uint32_t caps, const PaletteEntry* entries, Palette** out) {
  if (dd == nullptr || entries == nullptr || out == nullptr) return err_invalid_params;
  *out = nullptr;
  if (injected_failure(Call::create_palette)) return err_injected;
  if (!(caps & ddpcaps_8bit)) return err_invalid_params;
  auto* palette = make_object<Palette>();
  for (int i = 0; i < 256; ++i) palette->entries[i] = entries[i];
  *out = palette;
  return ok;
}

Result set_palette(Surface* surface, Palette* palette) {
  if (surface == nullptr) return err_invalid_params;
  if (injected_failure(Call::set_palette)) return err_injected;
  if (palette != nullptr) ++palette->references;
  release(surface->palette);
  surface->palette = palette;
  if (surface->owner != nullptr) attached_display_palette = palette;
  return ok;
}

Result set_entries(Palette* palette, std::uint32_t /*flags*/, int first, int count, const PaletteEntry* entries) {
  if (palette == nullptr || entries == nullptr || first < 0 || count < 0 || first + count > 256) {
    return err_invalid_params;
  }
  if (injected_failure(Call::set_entries)) return err_injected;
  for (int i = 0; i < count; ++i) palette->entries[first + i] = entries[i];
  return ok;
}

Result create_clipper(DirectDraw4* dd, std::uint32_t /*flags*/, Clipper** out) {
  if (dd == nullptr || out == nullptr) return err_invalid_params;
  *out = nullptr;
  if (injected_failure(Call::create_clipper)) return err_injected;
  *out = make_object<Clipper>();
  return ok;
}

Result set_clip_list(Clipper* clipper, const RegionHeader* region, std::uint32_t /*flags*/) {
  if (clipper == nullptr || region == nullptr || region->type != rdh_rectangles) return err_invalid_params;
  if (injected_failure(Call::set_clip_list)) return err_injected;
  const auto* rects = reinterpret_cast<const Rect*>(region + 1);
  clipper->rects.assign(rects, rects + region->count);
  clipper->has_list = true;
  return ok;
}

Result set_clipper(Surface* surface, Clipper* clipper) {
  if (surface == nullptr) return err_invalid_params;
  if (injected_failure(Call::set_clipper)) return err_injected;
  if (clipper != nullptr) ++clipper->references;
  release(surface->clipper);
  surface->clipper = clipper;
  return ok;
}

Result lock(Surface* surface, const Rect* rect, SurfaceDesc* desc, std::uint32_t /*flags*/) {
  if (surface == nullptr || desc == nullptr || rect != nullptr) return err_invalid_params;
  if (surface->locked || surface->dc_held) return err_surface_busy;
  if (injected_failure(Call::lock)) return err_injected;
  surface->locked = true;
  note_unknown_write(surface);
  desc->flags = ddsd_width | ddsd_height | ddsd_pitch | ddsd_lpsurface;
  desc->width = surface->width;
  desc->height = surface->height;
  desc->pitch = surface->pitch;
  desc->memory = surface->memory.data();
  return ok;
}

Result unlock(Surface* surface, const Rect* /*rect*/) {
  if (surface == nullptr) return err_invalid_params;
  if (!surface->locked) return err_not_locked;
  if (injected_failure(Call::unlock)) return err_injected;
  surface->locked = false;
  return ok;
}

Result flip(Surface* primary, Surface* /*override_surface*/, std::uint32_t /*flags*/) {
  if (primary == nullptr || primary->owner == nullptr || primary->back_buffer == nullptr) return err_invalid_params;
  Surface* back = primary->back_buffer;
  if (back->locked || back->dc_held) return err_surface_busy;
  if (injected_failure(Call::flip)) return err_injected;
  // A window already destroyed (the game is closing) or a screen that is gone shows nothing,
  // and that is no failure.
  const Window window = primary->owner->window;
  if ((window != nullptr && !is_window(window)) || primary->owner->screen_lost) return ok;
  static const std::array<PaletteEntry, 256> black{};
  const PaletteEntry* colours = primary->palette ? primary->palette->entries.data() : black.data();
  const ChangedArea changed =
      back->damage.shown.narrow(back->memory.data(), back->width, back->height, back->pitch, back->damage.unshown.area());
  if (!backend().present(back->memory.data(), back->width, back->height, back->pitch, colours, changed)) {
    // Nothing can ever be shown again: the game ends as when its window is closed, and the
    // flip that is retried next finds the window gone.
    primary->owner->screen_lost = true;
    std::fprintf(stderr, "rink: the screen is gone; the game ends\n");
    send_message(window, wm_close, 0, 0);
    return err_surface_lost;
  }
  back->damage.unshown.clear();
  return ok;
}

void release(DirectDraw* object) {
  if (drop_reference(object)) delete object;
}

void release(DirectDraw4* object) {
  if (!drop_reference(object)) return;
  release(object->parent);
  delete object;
}

void release(Surface* object) {
  if (!drop_reference(object)) return;
  release(object->back_buffer);
  if (object->palette == attached_display_palette && object->owner != nullptr) attached_display_palette = nullptr;
  release(object->palette);
  release(object->clipper);
  release(object->owner);
  delete object;
}

void release(Palette* object) {
  if (drop_reference(object)) delete object;
}

void release(Clipper* object) {
  if (drop_reference(object)) delete object;
}

}  // namespace platform
