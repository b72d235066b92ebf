#pragma once
// One picture showing all the others, for people to look at: the rink, then every sprite in
// catalogue order, all twice their size, transparent pixels as a checkerboard.

#include <vector>

#include "canvas.h"

namespace art {

Canvas compose_contact_sheet(const Canvas& rink, const std::vector<Canvas>& sprites);
// False when the file cannot be written.
bool save_contact_sheet(const char* path, const Canvas& sheet);

}  // namespace art
