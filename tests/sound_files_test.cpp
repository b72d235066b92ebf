// The sound effects rink-sounds writes next to the game, read back with the game's own reader
// and measured: what a player hears must not clip, click or jump in loudness from one effect to
// the next. The table printed on the way gives each file's peak, loudness and duration.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "build_tree.h"
#include "process_state.h"
#include "platform/sound_file.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* effect_files[] = {"shot.wav",  "boards.wav",  "post.wav", "save.wav", "check.wav",
                                        "goal.wav",  "whistle.wav", "win.wav",  "lose.wav"};
constexpr double full_scale = 32767.0;

double decibels(double amplitude) { return 20.0 * std::log10(std::max(amplitude, 1e-9) / full_scale); }

double peak_of(const std::vector<std::int16_t>& samples) {
  double peak = 0;
  for (const std::int16_t s : samples) peak = std::max(peak, std::abs(static_cast<double>(s)));
  return peak;
}

// Loudness, the same measure for every effect: the RMS of the loudest 100 ms window (2,205
// samples) anywhere in the file, so a short blow is judged by the blow and not by its quiet tail.
double loudest_100ms_rms(const std::vector<std::int16_t>& samples) {
  const std::size_t window = std::min<std::size_t>(samples.size(), platform::sound_rate / 10);
  std::vector<double> squares(samples.size() + 1, 0.0);  // running sums of squares
  for (std::size_t i = 0; i < samples.size(); ++i) {
    const double s = samples[i];
    squares[i + 1] = squares[i] + s * s;
  }
  double loudest = 0;
  for (std::size_t end = window; end <= samples.size(); ++end) loudest = std::max(loudest, squares[end] - squares[end - window]);
  return window == 0 ? 0 : std::sqrt(loudest / static_cast<double>(window));
}

// No click at either end: within 3 ms (66 samples) of the file's first and last sample, every
// sample stays under a straight ramp from silence to full scale, |s| <= 32767 * k / 66 at k
// samples from the edge. So the first and last samples are 0, and the sound can only grow from
// silence and sink back into it.
constexpr int edge_samples = 66;

// The first sample, counted from the nearer edge, that rises above the ramp; -1 for none.
int first_sample_over_the_ramp(const std::vector<std::int16_t>& samples, bool from_the_end) {
  const int n = static_cast<int>(samples.size());
  for (int k = 0; k < std::min(edge_samples, n); ++k) {
    const std::int16_t s = samples[static_cast<std::size_t>(from_the_end ? n - 1 - k : k)];
    if (std::abs(static_cast<double>(s)) > full_scale * k / edge_samples) return k;
  }
  return -1;
}

struct Measured {
  std::string file;
  std::vector<std::int16_t> samples;
  double peak_db;
  double loudness_db;
  double seconds;
};

std::vector<Measured> measure_every_effect() {
  std::vector<Measured> measured;
  for (const char* file : effect_files) {
    const platform::SoundFile sound = platform::load_sound_file((build_directory() / "sounds" / file).c_str());
    EXPECT_EQ(sound.error, "") << file;
    measured.push_back({file, sound.samples, decibels(peak_of(sound.samples)), decibels(loudest_100ms_rms(sound.samples)),
                        static_cast<double>(sound.samples.size()) / platform::sound_rate});
  }
  return measured;
}

TEST(SoundFiles, NoEffectClipsOrClicksAndAllAreEquallyLoud) {
  const std::vector<Measured> effects = measure_every_effect();
  std::printf("%-12s %10s %10s %9s\n", "file", "peak dBFS", "RMS dBFS", "seconds");
  double total_seconds = 0;
  for (const Measured& e : effects) {
    std::printf("%-12s %10.2f %10.2f %9.3f\n", e.file.c_str(), e.peak_db, e.loudness_db, e.seconds);
    total_seconds += e.seconds;
    EXPECT_LE(e.peak_db, -1.0) << e.file;
    EXPECT_GT(e.loudness_db, -24.0) << e.file << " is barely audible";
    EXPECT_GE(e.seconds, 0.1) << e.file;
    EXPECT_EQ(first_sample_over_the_ramp(e.samples, false), -1) << e.file << " starts with a click";
    EXPECT_EQ(first_sample_over_the_ramp(e.samples, true), -1) << e.file << " ends with a click";
  }
  std::printf("%-12s %32.3f\n", "total", total_seconds);
  const auto [quietest, loudest] = std::minmax_element(
      effects.begin(), effects.end(), [](const Measured& a, const Measured& b) { return a.loudness_db < b.loudness_db; });
  EXPECT_LE(loudest->loudness_db - quietest->loudness_db, 6.0)
      << loudest->file << " against " << quietest->file;
  EXPECT_LT(total_seconds, 8.0) << "the web page downloads every effect";
}

TEST(SoundFiles, TheClickCriterionCatchesAJumpAtEitherEnd) {
  std::vector<std::int16_t> ramped(1000, 8000);
  for (int k = 0; k < edge_samples; ++k) {
    ramped[static_cast<std::size_t>(k)] = ramped[999 - static_cast<std::size_t>(k)] =
        static_cast<std::int16_t>(8000 * k / edge_samples);
  }
  EXPECT_EQ(first_sample_over_the_ramp(ramped, false), -1);
  EXPECT_EQ(first_sample_over_the_ramp(ramped, true), -1);
  std::vector<std::int16_t> cut = ramped;
  cut.front() = 300;
  cut[995] = 30000;
  EXPECT_EQ(first_sample_over_the_ramp(cut, false), 0);
  EXPECT_EQ(first_sample_over_the_ramp(cut, true), 4);
}

std::vector<char> contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int run_rink_sounds(const std::string& arguments) { return run_build_tool("rink-sounds", arguments); }

TEST(SoundTool, WritesTheSameBytesOnEveryRun) {
  const TemporaryFolder folder("sounds-test");
  const fs::path& out = folder.path();
  ASSERT_EQ(run_rink_sounds(out.string()), 0);
  for (const char* file : effect_files) {
    EXPECT_TRUE(contents(out / file) == contents(build_directory() / "sounds" / file)) << file;
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), std::ssize(effect_files));
  EXPECT_EQ(run_rink_sounds(""), 2);
  EXPECT_EQ(run_rink_sounds("/proc/no-such-place"), 1);
}

}  // namespace
