#pragma once
// Every sound effect of the game, synthesized and written as its WAV file into one folder: by
// rink-sounds at build time for the desktop, and by the web page into its own file system at
// start-up, so that the page downloads no sound.

#include <string>

namespace sound {

// Writes each effect as FOLDER/NAME.wav, creating FOLDER. False, with `failed` naming the file,
// when one cannot be written.
bool write_effect_files(const std::string& folder, std::string& failed);

}  // namespace sound
