#include "platform/recording_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

// The mode a new file gets from the process's umask, as fopen would give it.
mode_t new_file_mode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

}  // namespace

bool RecordingFile::fail() {
  error_ = std::strerror(errno);
  return false;
}

bool RecordingFile::open(const std::string& path) {
  close();
  error_.clear();
  length_ = 0;
  struct stat status {};
  const bool exists = stat(path.c_str(), &status) == 0;
  if (exists && !S_ISREG(status.st_mode)) {
    path_ = path;
    fd_ = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    return fd_ >= 0 || fail();
  }
  // A link is followed: the file it names is the one replaced.
  char resolved[PATH_MAX];
  path_ = exists && realpath(path.c_str(), resolved) != nullptr ? resolved : path;
  temporary_ = path_ + ".new-XXXXXX";
  fd_ = mkostemp(temporary_.data(), O_CLOEXEC);
  if (fd_ < 0) {
    temporary_.clear();
    return fail();
  }
  if (fchmod(fd_, exists ? status.st_mode & 07777 : new_file_mode()) != 0) {
    const int reason = errno;
    close();
    errno = reason;
    return fail();
  }
  return true;
}

bool RecordingFile::write(const char* bytes, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t wrote = ::write(fd_, bytes + done, size - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) {
      const int reason = wrote < 0 ? errno : ENOSPC;
      // What part of the bytes went in comes out again (a device or a pipe cannot be cut).
      if (done > 0 && ftruncate(fd_, length_) == 0) lseek(fd_, length_, SEEK_SET);
      errno = reason;
      return fail();
    }
    done += static_cast<std::size_t>(wrote);
  }
  length_ += static_cast<off_t>(size);
  return true;
}

bool RecordingFile::commit() {
  if (temporary_.empty()) return true;
  if (std::rename(temporary_.c_str(), path_.c_str()) != 0) return fail();
  temporary_.clear();
  return true;
}

bool RecordingFile::close() {
  if (fd_ < 0) return true;
  const bool closed = ::close(fd_) == 0 || fail();
  fd_ = -1;
  if (!temporary_.empty()) {
    std::remove(temporary_.c_str());
    temporary_.clear();
  }
  return closed;
}

}  // namespace platform
