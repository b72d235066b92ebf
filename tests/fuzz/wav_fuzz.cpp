// libFuzzer entry for the sound-file reader: each input is handed to parse_sound_file as a whole
// file. Besides the sanitizers' findings, a run stops when the result breaks the reader's
// promises: samples exactly when there is no error, never more than ten seconds of them, and
// never more samples than the input's bytes could hold.

#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/sound_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const platform::SoundFile sound = platform::parse_sound_file(std::span(data, size));
  if (sound.error.empty() == sound.samples.empty()) std::abort();
  if (sound.samples.size() > platform::max_sound_samples) std::abort();
  if (size < 44 + 2 * sound.samples.size() && !sound.samples.empty()) std::abort();
  if (sound.error.size() > 40) std::abort();  // a short reason, not garbage
  return 0;
}
