#pragma once
// One picture showing all the others, for people to look at: the rink, then every sprite in
// catalogue order, all twice their size, transparent pixels as a checkerboard.

#include <vector>

#include "canvas.h"

namespace art {

Canvas compose_contact_sheet(const Canvas& rink, const std::vector<Canvas>& sprites);
// Writes a picture as a PNG file in the game's colours, the colour key transparent; false when
// the file cannot be written.
bool save_png(const char* path, const Canvas& picture);

}  // namespace art
