#pragma once
// The game's sound files: WAV with 16-bit PCM samples, one channel, 22,050 a second, as
// rink-sounds writes them. A player may put another file in place of one, so the reader accepts
// exactly that format and refuses anything else with a short reason.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace platform {

constexpr int sound_rate = 22050;
constexpr std::size_t max_sound_samples = 10 * sound_rate;  // ten seconds
constexpr std::size_t max_sound_file_bytes = 1 << 20;

struct SoundFile {
  std::vector<std::int16_t> samples;
  std::string error;  // empty when the file was read; otherwise why it was refused
};

// A whole file's bytes: the RIFF/WAVE chunks, a "fmt " chunk for the one format, then the "data"
// chunk; chunks of other kinds between them are skipped, and a chunk of odd size is followed by
// a pad byte. Bytes after the RIFF chunk are ignored.
SoundFile parse_sound_file(std::span<const std::uint8_t> bytes);

// Opens NAME as open_file does (a bare name is looked for in the game's data folder) and reads it.
SoundFile load_sound_file(const char* name);
// Reads the game's sound NAME ("goal.wav") from the sounds/ folder of its data, wherever
// open_file looks for a bare name.
SoundFile load_game_sound(const char* name);

}  // namespace platform
