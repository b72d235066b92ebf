// rink-sounds: synthesizes every sound effect of the game and writes them as WAV files into one
// directory. The same bytes on every run: all noise comes from seeded generators of our own.
//
//   rink-sounds OUTDIR

#include <cstdio>
#include <string>

#include "effect_files.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: rink-sounds OUTDIR\n");
    return 2;
  }
  std::string failed;
  if (!sound::write_effect_files(argv[1], failed)) {
    std::fprintf(stderr, "rink-sounds: cannot write %s\n", failed.c_str());
    return 1;
  }
  return 0;
}
