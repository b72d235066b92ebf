#pragma once
// The file a session's keys are recorded into (rink --record). An existing file is replaced only
// once the game has started: until commit(), the recording goes to a new file beside it, which
// then takes its name, so a game that cannot start leaves the old recording as it was. Each
// write reaches the file whole or not at all, so a full disk never leaves half a line. A device
// or a pipe is written in place; nothing is replaced there.

#include <sys/types.h>

#include <cstddef>
#include <string>

namespace platform {

class RecordingFile {
 public:
  RecordingFile() = default;
  RecordingFile(const RecordingFile&) = delete;
  RecordingFile& operator=(const RecordingFile&) = delete;
  ~RecordingFile() { close(); }

  // Opens a recording for PATH; false with error() telling why.
  bool open(const std::string& path);
  // Writes the bytes whole, or nothing of them: false with error() telling why.
  bool write(const char* bytes, std::size_t size);
  // The recording takes PATH's place (once the game has started); false with error() telling why.
  bool commit();
  // Closes the file; a recording never committed is removed. False with error() telling why.
  bool close();
  const std::string& error() const { return error_; }

 private:
  bool fail();

  int fd_ = -1;
  std::string path_;       // the file the recording is for, its links followed
  std::string temporary_;  // the new file beside it until commit(); empty when written in place
  off_t length_ = 0;       // bytes written whole
  std::string error_;
};

}  // namespace platform
