#pragma once
// The catalogue of sprite images: one keyed off-screen surface per entry, loaded in this order.

#include <array>
#include <cstddef>

// Named by the stem of each bitmap file, in catalogue (load) order.
enum class SpriteId {
  firstplayerone,
  firstplayertwo,
  firstplayerthree,
  firstplayerfour,
  playershootingleft1,
  playershootingleft2,
  playershootingleft3,
  playershootingleft4,
  playershootingleft5,
  playershootingleft6,
  playershootingright1,
  playershootingright2,
  playershootingright3,
  playershootingright4,
  playershootingright5,
  playershootingright6,
  up1,
  up2,
  up3,
  down1,
  down2,
  down3,
  firstplayeronewpuck,
  firstplayertwowpuck,
  firstplayerthreewpuck,
  firstplayerfourwpuck,
  upwithpuck1,
  upwithpuck3,
  downwithpuck1,
  downwithpuck2,
  downwithpuck3,
  playeronedown,
  playeronecheck,
  goalieleft1,
  goalieleft2,
  goalieright1,
  goalieright2,
  puck,
};

constexpr std::size_t sprite_count = 38;

struct SpriteEntry {
  SpriteId id;
  const char* name;     // the SpriteId's own name, the file stem
  const char* file;     // bare bitmap file name
  int width;
  int height;
  const char* message;  // shown (caption "error") when the file cannot be read
};

extern const std::array<SpriteEntry, sprite_count> sprite_catalogue;

constexpr std::size_t sprite_index(SpriteId id) { return static_cast<std::size_t>(id); }
const SpriteEntry& sprite_entry(SpriteId id);
// The catalogue lists the skater's images first, then the goalies and the puck.
constexpr bool is_skater_image(SpriteId id) { return sprite_index(id) < sprite_index(SpriteId::goalieleft1); }
const char* sprite_name(SpriteId id);

// Index of the colour that sprite blits skip.
constexpr int sprite_color_key = 117;
