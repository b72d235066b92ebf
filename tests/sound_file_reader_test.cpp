// The strict reader of the game's sound files: it reads back what rink-sounds wrote, takes the
// format with harmless extras around it, and refuses every other format, every cut-short file and
// every size field that lies, with a short reason.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "build_tree.h"
#include "byte_writer.h"
#include "platform/sound_file.h"
#include "platform/system.h"
#include "process_state.h"

namespace {

namespace fs = std::filesystem;

using Bytes = std::vector<std::uint8_t>;

struct Format {
  std::uint16_t encoding = 1;  // PCM
  std::uint16_t channels = 1;
  std::uint32_t rate = 22050;
  std::uint32_t bytes_per_second = 44100;
  std::uint16_t frame_bytes = 2;
  std::uint16_t bits = 16;
};

Bytes format_chunk(const Format& f) {
  tools::ByteWriter out;
  out.u16(f.encoding);
  out.u16(f.channels);
  out.u32(f.rate);
  out.u32(f.bytes_per_second);
  out.u16(f.frame_bytes);
  out.u16(f.bits);
  return out.bytes();
}

Bytes sample_bytes(const std::vector<std::int16_t>& samples) {
  tools::ByteWriter out;
  for (const std::int16_t s : samples) out.i16(s);
  return out.bytes();
}

// A RIFF file chunk by chunk; a chunk's size field may lie, the RIFF size is right unless told.
class Wav {
 public:
  Wav& chunk(const char (&id)[5], const Bytes& body, std::optional<std::uint32_t> claimed = {}) {
    chunks_.tag(id);
    chunks_.u32(claimed.value_or(static_cast<std::uint32_t>(body.size())));
    chunks_.bytes().insert(chunks_.bytes().end(), body.begin(), body.end());
    if (body.size() % 2 != 0) chunks_.u8(0);
    return *this;
  }
  Bytes bytes(std::optional<std::uint32_t> riff_size = {}) {
    tools::ByteWriter out;
    out.tag("RIFF");
    out.u32(riff_size.value_or(static_cast<std::uint32_t>(4 + chunks_.bytes().size())));
    out.tag("WAVE");
    out.bytes().insert(out.bytes().end(), chunks_.bytes().begin(), chunks_.bytes().end());
    return out.bytes();
  }

 private:
  tools::ByteWriter chunks_;
};

const std::vector<std::int16_t> some_samples{0, 1, -1, 32767, -32768, 1234, -4321, 0};

Bytes plain_file(const Format& format = {}) {
  return Wav().chunk("fmt ", format_chunk(format)).chunk("data", sample_bytes(some_samples)).bytes();
}

std::string refusal(const Bytes& bytes) {
  const platform::SoundFile sound = platform::parse_sound_file(bytes);
  EXPECT_TRUE(sound.error.empty() == !sound.samples.empty()) << "samples exactly when it is read";
  return sound.error;
}

TEST(SoundFileReader, ReadsBackEverySoundTheToolWroteByItsBareName) {
  const SearchDirectory search(build_directory() / "sounds");
  for (const char* name : {"shot.wav", "boards.wav", "post.wav", "save.wav", "check.wav", "goal.wav", "whistle.wav",
                           "win.wav", "lose.wav"}) {
    const platform::SoundFile sound = platform::load_sound_file(name);
    EXPECT_EQ(sound.error, "") << name;
    EXPECT_EQ(sound.samples.size() * 2 + 44, fs::file_size(build_directory() / "sounds" / name)) << name;
  }
  EXPECT_EQ(platform::load_sound_file("no-such-sound.wav").error, "not found");
}

TEST(SoundFileReader, TakesTheSamplesInOrderPastChunksItDoesNotKnow) {
  EXPECT_EQ(platform::parse_sound_file(plain_file()).samples, some_samples);

  // An odd-sized chunk and its pad byte before the format, a list after it, an extended format
  // chunk (with its extension size), a chunk after the data and bytes after the whole RIFF chunk.
  Format format;
  Bytes extended = format_chunk(format);
  extended.insert(extended.end(), {0, 0});
  Bytes file = Wav()
                   .chunk("junk", Bytes{1, 2, 3})
                   .chunk("fmt ", extended)
                   .chunk("LIST", Bytes(9, 'x'))
                   .chunk("data", sample_bytes(some_samples))
                   .chunk("id3 ", Bytes{7})
                   .bytes();
  file.insert(file.end(), {'t', 'a', 'i', 'l'});
  const platform::SoundFile sound = platform::parse_sound_file(file);
  EXPECT_EQ(sound.error, "");
  EXPECT_EQ(sound.samples, some_samples);
}

TEST(SoundFileReader, RefusesEveryOtherFormat) {
  EXPECT_EQ(refusal({}), "not a WAV file");
  EXPECT_EQ(refusal(Bytes{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V'}), "not a WAV file");
  Bytes not_riff = plain_file();
  not_riff[0] = 'X';
  EXPECT_EQ(refusal(not_riff), "not a WAV file");
  Bytes not_wave = plain_file();
  not_wave[8] = 'A';
  EXPECT_EQ(refusal(not_wave), "not a WAV file");

  const std::string wrong = "not 16-bit mono PCM at 22050 Hz";
  EXPECT_EQ(refusal(plain_file({.encoding = 3})), wrong);  // floating point
  EXPECT_EQ(refusal(plain_file({.encoding = 0xFFFE})), wrong);  // the extensible format
  EXPECT_EQ(refusal(plain_file({.channels = 2, .bytes_per_second = 88200, .frame_bytes = 4})), wrong);
  EXPECT_EQ(refusal(plain_file({.rate = 44100, .bytes_per_second = 88200})), wrong);
  EXPECT_EQ(refusal(plain_file({.rate = 44100})), wrong);
  EXPECT_EQ(refusal(plain_file({.bytes_per_second = 22050, .frame_bytes = 1, .bits = 8})), wrong);
  EXPECT_EQ(refusal(plain_file({.bytes_per_second = 44101})), wrong);
  EXPECT_EQ(refusal(plain_file({.frame_bytes = 4})), wrong);
}

TEST(SoundFileReader, RefusesFilesCutShortOrWithSizesThatLie) {
  const Bytes format = format_chunk({});
  const Bytes data = sample_bytes(some_samples);
  Bytes cut = plain_file();
  cut.pop_back();
  EXPECT_EQ(refusal(cut), "cut short");  // the RIFF size claims the last byte
  EXPECT_EQ(refusal(Wav().chunk("fmt ", format).chunk("data", data).bytes(1000)), "cut short");
  EXPECT_EQ(refusal(Wav().chunk("fmt ", format).chunk("data", data).bytes(3)), "not a WAV file");
  EXPECT_EQ(refusal(Wav().chunk("fmt ", format).chunk("data", data, 17).bytes()), "cut short");
  EXPECT_EQ(refusal(Wav().chunk("fmt ", format).chunk("data", data, 0xFFFFFFFF).bytes()), "cut short");
  EXPECT_EQ(refusal(Wav().chunk("fmt ", format).chunk("LIST", Bytes(4), 0xFFFFFFF8).chunk("data", data).bytes()),
            "cut short");
  EXPECT_EQ(refusal(Wav().chunk("fmt ", format).chunk("data", Bytes{1, 2, 3}).bytes()), "cut short");  // half a sample
  // A RIFF size that ends the file inside the next chunk's header.
  EXPECT_EQ(refusal(Wav().chunk("fmt ", format).chunk("data", data).bytes(4 + 24 + 4)), "cut short");

  EXPECT_EQ(refusal(Wav().chunk("fmt ", Bytes(format.begin(), format.begin() + 14)).chunk("data", data).bytes()),
            "broken format chunk");
  EXPECT_EQ(refusal(Wav().chunk("data", data).chunk("fmt ", format).bytes()), "sound data before its format");
  EXPECT_EQ(refusal(Wav().chunk("fmt ", format).chunk("fmt ", format).chunk("data", data).bytes()),
            "two format chunks");
  EXPECT_EQ(refusal(Wav().chunk("fmt ", format).bytes()), "no sound data");
  EXPECT_EQ(refusal(Wav().chunk("fmt ", format).chunk("data", {}).bytes()), "no sound data");
  EXPECT_EQ(refusal(Wav().chunk("LIST", Bytes(4)).bytes()), "not a WAV file");
}

TEST(SoundFileReader, TakesTenSecondsAndNotOneSampleMore) {
  const Bytes format = format_chunk({});
  const std::vector<std::int16_t> ten_seconds(platform::max_sound_samples, 100);
  EXPECT_EQ(platform::parse_sound_file(Wav().chunk("fmt ", format).chunk("data", sample_bytes(ten_seconds)).bytes())
                .samples.size(),
            platform::max_sound_samples);
  std::vector<std::int16_t> longer = ten_seconds;
  longer.push_back(100);
  EXPECT_EQ(refusal(Wav().chunk("fmt ", format).chunk("data", sample_bytes(longer)).bytes()), "longer than 10 s");

  // More than a mebibyte is refused before its chunks are looked at, and the loader does not
  // read such a file at all.
  Bytes huge = Wav().chunk("fmt ", format).chunk("LIST", Bytes(platform::max_sound_file_bytes)).chunk("data", {1, 0}).bytes();
  EXPECT_EQ(refusal(huge), "larger than 1 MiB");
  const TemporaryFolder folder("huge");
  const fs::path path = folder / "huge.wav";
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(huge.data()), std::ssize(huge));
  EXPECT_EQ(platform::load_sound_file(path.c_str()).error, "larger than 1 MiB");
}

// A FIFO (which would block start-up until something wrote to it), a folder or a device in a
// sound's place is refused at once, by what it is; so is a file far too large.
TEST(SoundFileReader, RefusesAtOnceWhatIsNoPlainFile) {
  const TemporaryFolder folder("sounds");
  ASSERT_EQ(mkfifo((folder / "fifo.wav").c_str(), 0600), 0);
  fs::create_directory(folder / "folder.wav");
  std::ofstream(folder / "huge.wav").put('R');
  fs::resize_file(folder / "huge.wav", std::uintmax_t{10} << 30);  // sparse
  EXPECT_EQ(platform::load_sound_file((folder / "fifo.wav").c_str()).error, "a FIFO, not a file");
  EXPECT_EQ(platform::load_sound_file((folder / "folder.wav").c_str()).error, "a folder, not a file");
  EXPECT_EQ(platform::load_sound_file("/dev/zero").error, "a device, not a file");
  EXPECT_EQ(platform::load_sound_file((folder / "huge.wav").c_str()).error, "larger than 1 MiB");
  // Through the game's own search too, where a sound is looked for by its bare name.
  // (The working directory, looked in second, is the same folder.)
  const WorkingDirectory working(folder.path());
  const SearchDirectory search(folder.path());
  fs::create_directory(folder / "sounds");
  ASSERT_EQ(mkfifo((folder / "sounds" / "goal.wav").c_str(), 0600), 0);
  EXPECT_EQ(platform::load_game_sound("goal.wav").error, "a FIFO, not a file");
}

}  // namespace
