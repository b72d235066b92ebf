#pragma once
// Time and files.

#include <cstdint>
#include <string>

namespace platform {

void sleep_ms(std::uint32_t milliseconds);

// Gives the processor away for about a millisecond between two polls of a blocking wait for the
// key `awaited_vk`. False when no further input can ever come (a headless key script has ended).
bool idle_between_polls(int awaited_vk);

// Files, read-only. A bare name is looked for in the installed data folder (share/games/rink as
// seen from the folder of the game or of the tools), then in the executable's own directory, then
// in the working directory; a name with a '/' is opened as given. Only plain files open: a folder,
// a FIFO or a device in a file's place is refused at once, never waited on.
using FileHandle = int;
constexpr FileHandle hfile_error = -1;
constexpr int file_begin = 0;
constexpr int file_current = 1;
constexpr int file_end = 2;

FileHandle open_file(const char* name);
// Why the last open_file or open_data_file failed, in a few words: "not found", "no permission to
// read it", "a folder, not a file", "a FIFO, not a file"...; "" after a success.
const char* open_failure();
// open_failure() when nothing of that name is in any place looked in.
constexpr char file_not_found[] = "not found";
// NAME in a folder of the game's data ("sounds/", ending in '/'), looked for where bare names are.
FileHandle open_data_file(const char* folder, const char* name);
// Tests and tools: look for bare names in this directory instead of the data folder and the
// executable's directory (the working directory still comes second). Null restores those.
void set_search_directory(const char* directory);
// The folders where bare names are looked for, in that order, for a message: "A, B or C".
std::string data_places();
// Bytes read (fewer at the end of the file), or -1.
std::int32_t read_file(FileHandle file, void* buffer, std::uint32_t count);
// New position from the start of the file, or -1.
std::int32_t seek_file(FileHandle file, std::int32_t offset, int origin);
void close_file(FileHandle file);
// The size of an open file in bytes, however large, or -1.
std::int64_t file_size(FileHandle file);

}  // namespace platform
