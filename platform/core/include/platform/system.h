#pragma once
// Time, files and the game's random generator.

#include <cstdint>

namespace platform {

void sleep_ms(std::uint32_t milliseconds);

// Gives the processor away for about a millisecond between two polls of a blocking wait for the
// key `awaited_vk`. False when no further input can ever come (a headless key script has ended).
bool idle_between_polls(int awaited_vk);

// The game's own generator: state = state * 214013 + 2531011, value (state >> 16) & 0x7FFF.
// Its state starts at 1 and is never reseeded.
int random_next();

// Files, read-only. A bare name is looked for in the installed data folder (share/games/rink as
// seen from the folder of the game or of the tools), then in the executable's own directory, then
// in the working directory; a name with a '/' is opened as given.
using FileHandle = int;
constexpr FileHandle hfile_error = -1;
constexpr int file_begin = 0;
constexpr int file_current = 1;
constexpr int file_end = 2;

FileHandle open_file(const char* name);
// NAME in a folder of the game's data ("sounds/", ending in '/'), looked for where bare names are.
FileHandle open_data_file(const char* folder, const char* name);
// Tests and tools: look for bare names in this directory instead of the data folder and the
// executable's directory (the working directory still comes second). Null restores those.
void set_search_directory(const char* directory);
// Bytes read (fewer at the end of the file), or -1.
std::int32_t read_file(FileHandle file, void* buffer, std::uint32_t count);
// New position from the start of the file, or -1.
std::int32_t seek_file(FileHandle file, std::int32_t offset, int origin);
void close_file(FileHandle file);

}  // namespace platform
