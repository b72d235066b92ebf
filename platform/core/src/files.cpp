// Read-only files: the game's bitmaps and sounds.

#include <fcntl.h>
#include <limits.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/system.h"

namespace platform {

namespace {

char search_directory[PATH_MAX] = "";  // "" means the game's own places

// The directory of the running executable, or "" when it cannot be told.
const char* program_directory() {
  static char directory[PATH_MAX] = "";
  static bool known = false;
  if (!known) {
    known = true;
    const ssize_t length = readlink("/proc/self/exe", directory, sizeof directory - 1);
    if (length <= 0) return directory;
    directory[length] = '\0';
    if (char* slash = std::strrchr(directory, '/')) *slash = '\0';
  }
  return directory;
}

// Opens DIRECTORY/FOLDER/NAME, FOLDER being "" or ending in '/'; -1 when DIRECTORY is unknown ("").
int open_in(const char* directory, const char* folder, const char* name) {
  if (directory[0] == '\0') return -1;
  char path[PATH_MAX];
  if (std::snprintf(path, sizeof path, "%s/%s%s", directory, folder, name) >= static_cast<int>(sizeof path)) {
    return -1;
  }
  return open(path, O_RDONLY | O_CLOEXEC);
}

}  // namespace

void set_search_directory(const char* directory) {
  std::snprintf(search_directory, sizeof search_directory, "%s", directory ? directory : "");
}

FileHandle open_file(const char* name) {
  if (name == nullptr || name[0] == '\0') return hfile_error;
  if (std::strchr(name, '/') != nullptr) {
    const int fd = open(name, O_RDONLY | O_CLOEXEC);
    return fd < 0 ? hfile_error : fd;
  }
  return open_data_file("", name);
}

FileHandle open_data_file(const char* folder, const char* name) {
  if (name == nullptr || name[0] == '\0' || std::strchr(name, '/') != nullptr) return hfile_error;
  char path[PATH_MAX];
  if (std::snprintf(path, sizeof path, "%s%s", folder, name) >= static_cast<int>(sizeof path)) return hfile_error;
  // The installed data folder, as seen from the game's folder or from the tools' folder (relative
  // paths, so that any prefix works), then beside the executable (the build tree), then the
  // working directory.
  int fd = -1;
  if (search_directory[0] != '\0') {
    fd = open_in(search_directory, "", path);
  } else {
    fd = open_in(program_directory(), RINK_DATA_FROM_GAMEDIR "/", path);
    if (fd < 0) fd = open_in(program_directory(), RINK_DATA_FROM_BINDIR "/", path);
    if (fd < 0) fd = open_in(program_directory(), "", path);
  }
  if (fd < 0) fd = open(path, O_RDONLY | O_CLOEXEC);
  return fd < 0 ? hfile_error : fd;
}

std::int32_t read_file(FileHandle file, void* buffer, std::uint32_t count) {
  auto* out = static_cast<char*>(buffer);
  std::uint32_t total = 0;
  while (total < count) {
    const ssize_t got = read(file, out + total, count - total);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return -1;
    if (got == 0) break;
    total += static_cast<std::uint32_t>(got);
  }
  return static_cast<std::int32_t>(total);
}

std::int32_t seek_file(FileHandle file, std::int32_t offset, int origin) {
  const int whence = origin == file_end ? SEEK_END : origin == file_current ? SEEK_CUR : SEEK_SET;
  const off_t position = lseek(file, offset, whence);
  if (position < 0 || position > INT32_MAX) return -1;
  return static_cast<std::int32_t>(position);
}

void close_file(FileHandle file) {
  if (file >= 0) close(file);
}

}  // namespace platform
