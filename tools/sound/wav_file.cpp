#include "wav_file.h"

#include "byte_writer.h"
#include "synth.h"

namespace sound {

bool write_wav(const char* path, const std::vector<std::int16_t>& samples) {
  constexpr std::uint16_t pcm = 1;
  constexpr std::uint16_t channels = 1;
  constexpr std::uint16_t bytes_per_sample = 2;
  constexpr std::uint32_t format_bytes = 16;
  const auto data_bytes = static_cast<std::uint32_t>(samples.size() * bytes_per_sample);
  tools::ByteWriter out;
  out.tag("RIFF");
  out.u32(4 + (8 + format_bytes) + (8 + data_bytes + data_bytes % 2));
  out.tag("WAVE");
  out.tag("fmt ");
  out.u32(format_bytes);
  out.u16(pcm);
  out.u16(channels);
  out.u32(sample_rate);
  out.u32(sample_rate * bytes_per_sample);
  out.u16(bytes_per_sample);  // one frame
  out.u16(8 * bytes_per_sample);
  out.tag("data");
  out.u32(data_bytes);
  for (const std::int16_t s : samples) out.i16(s);
  return out.save(path);
}

}  // namespace sound
