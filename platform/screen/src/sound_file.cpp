#include "platform/sound_file.h"

#include "platform/system.h"

namespace platform {
namespace {

using Bytes = std::span<const std::uint8_t>;

constexpr std::uint32_t tag(const char (&text)[5]) {
  return static_cast<std::uint32_t>(static_cast<std::uint8_t>(text[0])) |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(text[1])) << 8 |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(text[2])) << 16 |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(text[3])) << 24;
}

// Little-endian fields; the caller has checked that they lie within BYTES.
std::uint16_t u16_at(Bytes bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}
std::uint32_t u32_at(Bytes bytes, std::size_t at) {
  return u16_at(bytes, at) | static_cast<std::uint32_t>(u16_at(bytes, at + 2)) << 16;
}

SoundFile refuse(const char* reason) { return {{}, reason}; }

constexpr const char* wrong_format = "not 16-bit mono PCM at 22050 Hz";

// Null when the format is ours. Longer "fmt " chunks (with an extension size) are fine as long
// as the first 16 bytes say plain PCM.
const char* check_format(Bytes format) {
  if (format.size() < 16) return "broken format chunk";
  const bool ours = u16_at(format, 0) == 1                          // PCM
                    && u16_at(format, 2) == 1                       // channels
                    && u32_at(format, 4) == sound_rate              // samples a second
                    && u32_at(format, 8) == 2 * sound_rate          // bytes a second
                    && u16_at(format, 12) == 2 && u16_at(format, 14) == 16;  // bytes a frame, bits a sample
  return ours ? nullptr : wrong_format;
}

SoundFile samples_of(Bytes data) {
  if (data.empty()) return refuse("no sound data");
  if (data.size() % 2 != 0) return refuse("cut short");  // half a sample
  if (data.size() / 2 > max_sound_samples) return refuse("longer than 10 s");
  SoundFile sound;
  sound.samples.resize(data.size() / 2);
  for (std::size_t i = 0; i < sound.samples.size(); ++i) {
    sound.samples[i] = static_cast<std::int16_t>(u16_at(data, 2 * i));
  }
  return sound;
}

}  // namespace

SoundFile parse_sound_file(Bytes bytes) {
  if (bytes.size() > max_sound_file_bytes) return refuse("larger than 1 MiB");
  if (bytes.size() < 12 || u32_at(bytes, 0) != tag("RIFF") || u32_at(bytes, 8) != tag("WAVE")) {
    return refuse("not a WAV file");
  }
  const std::uint32_t riff_size = u32_at(bytes, 4);
  if (riff_size < 4) return refuse("not a WAV file");
  if (riff_size > bytes.size() - 8) return refuse("cut short");
  Bytes chunks = bytes.subspan(12, riff_size - 4);
  bool have_format = false;
  while (!chunks.empty()) {
    if (chunks.size() < 8) return refuse("cut short");
    const std::uint32_t id = u32_at(chunks, 0);
    const std::uint32_t size = u32_at(chunks, 4);
    if (size > chunks.size() - 8) return refuse("cut short");
    const Bytes body = chunks.subspan(8, size);
    if (id == tag("fmt ")) {
      if (have_format) return refuse("two format chunks");
      if (const char* why = check_format(body)) return refuse(why);
      have_format = true;
    } else if (id == tag("data")) {
      return have_format ? samples_of(body) : refuse("sound data before its format");
    }
    // The pad byte after an odd chunk; a last chunk may go without it.
    const std::size_t next = 8 + static_cast<std::size_t>(size) + size % 2;
    chunks = chunks.subspan(next < chunks.size() ? next : chunks.size());
  }
  return refuse(have_format ? "no sound data" : "not a WAV file");
}

namespace {

SoundFile read_whole(FileHandle file) {
  if (file == hfile_error) return refuse(open_failure());
  SoundFile sound;
  const std::int64_t size = file_size(file);
  if (size < 0 || seek_file(file, 0, file_begin) != 0) {
    sound = refuse("cannot be read");
  } else if (static_cast<std::uint64_t>(size) > max_sound_file_bytes) {
    sound = refuse("larger than 1 MiB");
  } else {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    const auto count = static_cast<std::uint32_t>(size);
    const bool whole = read_file(file, bytes.data(), count) == static_cast<std::int32_t>(count);
    sound = whole ? parse_sound_file(bytes) : refuse("cannot be read");
  }
  close_file(file);
  return sound;
}

}  // namespace

SoundFile load_sound_file(const char* name) { return read_whole(open_file(name)); }

SoundFile load_game_sound(const char* name) { return read_whole(open_data_file("sounds/", name)); }

}  // namespace platform
