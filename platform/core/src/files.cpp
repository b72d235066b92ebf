// Read-only files: the game's bitmaps and sounds.

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/system.h"

namespace platform {

namespace {

char search_directory[PATH_MAX] = "";  // "" means the game's own places
char failure[64] = "";

// What stands in a file's place when it is no plain file.
const char* kind_of(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder, not a file";
  if (S_ISFIFO(mode)) return "a FIFO, not a file";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device, not a file";
  if (S_ISSOCK(mode)) return "a socket, not a file";
  return "not a plain file";
}

// The reason a place gave is kept unless an earlier place gave a more telling one than "not found".
void note_failure(const char* why) {
  if (failure[0] == '\0' || std::strcmp(failure, file_not_found) == 0) {
    std::snprintf(failure, sizeof failure, "%s", why);
  }
}

const char* errno_reason(int error) {
  if (error == ENOENT || error == ENOTDIR || error == ENAMETOOLONG) return file_not_found;
  if (error == EACCES || error == EPERM) return "no permission to read it";
  return std::strerror(error);
}

// Opens PATH only when it is a plain file. A FIFO or a device would block the open or the reads
// (a FIFO with no writer waits forever), so the open itself does not block and the kind is
// looked at before anything is read.
int open_plain(const char* path) {
  const int fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    note_failure(errno_reason(errno));
    return -1;
  }
  struct stat status {};
  const bool known = fstat(fd, &status) == 0;
  if (!known || !S_ISREG(status.st_mode)) {
    note_failure(known ? kind_of(status.st_mode) : errno_reason(errno));
    close(fd);
    return -1;
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

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
  return open_plain(path);
}

}  // namespace

void set_search_directory(const char* directory) {
  std::snprintf(search_directory, sizeof search_directory, "%s", directory ? directory : "");
}

const char* open_failure() { return failure; }

FileHandle open_file(const char* name) {
  failure[0] = '\0';
  if (name == nullptr || name[0] == '\0') {
    note_failure(file_not_found);
    return hfile_error;
  }
  if (std::strchr(name, '/') != nullptr) {
    const int fd = open_plain(name);
    return fd < 0 ? hfile_error : fd;
  }
  return open_data_file("", name);
}

FileHandle open_data_file(const char* folder, const char* name) {
  failure[0] = '\0';
  note_failure(file_not_found);
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
  if (fd < 0) fd = open_plain(path);
  if (fd >= 0) failure[0] = '\0';
  return fd < 0 ? hfile_error : fd;
}

std::string data_places() {
  std::vector<std::string> places;
  const auto add = [&places](const std::string& directory, const char* folder) {
    std::string place = std::filesystem::path(directory + "/" + folder).lexically_normal().string();
    if (place.size() > 1 && place.back() == '/') place.pop_back();
    if (std::find(places.begin(), places.end(), place) == places.end()) places.push_back(place);
  };
  if (search_directory[0] != '\0') {
    add(search_directory, "");
  } else if (program_directory()[0] != '\0') {
    add(program_directory(), RINK_DATA_FROM_GAMEDIR);
    add(program_directory(), RINK_DATA_FROM_BINDIR);
    add(program_directory(), "");
  }
  std::error_code error;
  const std::filesystem::path working = std::filesystem::current_path(error);
  add(error ? "." : working.string(), "");
  std::string text;
  for (std::size_t i = 0; i < places.size(); ++i) {
    text += (i == 0 ? "" : i + 1 == places.size() ? " or " : ", ") + places[i];
  }
  return text;
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

std::int64_t file_size(FileHandle file) {
  struct stat status {};
  return fstat(file, &status) == 0 ? static_cast<std::int64_t>(status.st_size) : -1;
}

}  // namespace platform
