#include "effect_files.h"

#include <filesystem>

#include "effects.h"
#include "master.h"
#include "wav_file.h"

namespace sound {

bool write_effect_files(const std::string& folder, std::string& failed) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  for (const Effect& effect : effects) {
    const std::string path = folder + "/" + effect.file;
    if (error || !write_wav(path.c_str(), finish(effect.make(), effect.trim_db))) {
      failed = path;
      return false;
    }
  }
  return true;
}

}  // namespace sound
