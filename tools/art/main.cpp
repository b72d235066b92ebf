// rink-art: draws the rink and every sprite of the game and writes them as the bitmap files
// the game loads, into one directory, with the icons of the applications menu laid out as in the
// icon theme (icons/NxN/apps/org.rinkgame.Rink.png) and the web page's icons beside the bitmaps
// (icon-N.png); with --sheet also a contact sheet of all of them.
//
//   rink-art OUTDIR
//   rink-art --sheet FILE.png OUTDIR

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "art.h"
#include "bmp_file.h"
#include "contact_sheet.h"
#include "icon.h"

namespace {

int usage() {
  std::fprintf(stderr, "usage: rink-art [--sheet FILE.png] OUTDIR\n");
  return 2;
}

bool write_icon(const std::string& folder, const std::string& file, int size) {
  const std::string path = folder + "/" + file;
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (!error && art::save_png(path.c_str(), art::draw_icon(size))) return true;
  std::fprintf(stderr, "rink-art: cannot write %s\n", path.c_str());
  return false;
}

bool write_icons(const std::string& directory) {
  for (const int size : art::icon_sizes) {
    const std::string side = std::to_string(size);
    if (!write_icon(directory + "/icons/" + side + "x" + side + "/apps", "org.rinkgame.Rink.png", size)) return false;
  }
  for (const int size : art::page_icon_sizes) {
    if (!write_icon(directory, "icon-" + std::to_string(size) + ".png", size)) return false;
  }
  return true;
}

bool write_picture(const std::string& directory, const char* file, const art::Canvas& picture) {
  const std::string path = directory + "/" + file;
  if (art::write_bmp(path.c_str(), picture, art::game_palette())) return true;
  std::fprintf(stderr, "rink-art: cannot write %s\n", path.c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  const char* sheet_path = nullptr;
  int next = 1;
  if (argc > next && std::strcmp(argv[next], "--sheet") == 0) {
    if (argc <= next + 1) return usage();
    sheet_path = argv[next + 1];
    next += 2;
  }
  if (argc != next + 1) return usage();
  const std::string directory = argv[next];

  const art::Canvas rink = art::draw_rink();
  if (!write_picture(directory, art::rink_file, rink)) return 1;
  std::vector<art::Canvas> sprites;
  for (const SpriteEntry& entry : sprite_catalogue) {
    sprites.push_back(art::draw_sprite(entry.id));
    if (!write_picture(directory, entry.file, sprites.back())) return 1;
  }

  if (!write_icons(directory)) return 1;
  if (sheet_path != nullptr && !art::save_png(sheet_path, art::compose_contact_sheet(rink, sprites))) {
    std::fprintf(stderr, "rink-art: cannot write %s\n", sheet_path);
    return 1;
  }
  return 0;
}
