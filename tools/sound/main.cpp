// rink-sounds: synthesizes every sound effect of the game and writes them as WAV files into one
// directory. The same bytes on every run: all noise comes from seeded generators of our own.
//
//   rink-sounds OUTDIR

#include <cstdio>
#include <filesystem>
#include <string>

#include "effects.h"
#include "master.h"
#include "wav_file.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: rink-sounds OUTDIR\n");
    return 2;
  }
  const std::string directory = argv[1];
  std::error_code error;
  std::filesystem::create_directories(directory, error);
  for (const sound::Effect& effect : sound::effects) {
    const std::string path = directory + "/" + effect.file;
    if (error || !sound::write_wav(path.c_str(), sound::finish(effect.make(), effect.trim_db))) {
      std::fprintf(stderr, "rink-sounds: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
