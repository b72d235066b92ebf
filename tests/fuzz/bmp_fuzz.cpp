// libFuzzer entry for the bitmap reader: each input is handed to read_bmp as a whole file.
//
// The bytes go into an in-memory file that is opened again through its /proc path, so the
// reader walks the real file calls (open, read, seek to the end, close) without touching disk.
// Besides the sanitizers' findings, a run stops when a read leaves its file open or when the
// result disagrees with the pixel buffer or with the reason for a failure.

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "display/bmp.h"

namespace {

int memory_file() {
  static const int fd = memfd_create("bmp_fuzz_input", MFD_CLOEXEC);
  if (fd < 0) {
    std::perror("memfd_create");
    std::abort();
  }
  return fd;
}

void replace_contents(int fd, const std::uint8_t* data, std::size_t size) {
  if (ftruncate(fd, 0) != 0) std::abort();
  std::size_t written = 0;
  while (written < size) {
    const ssize_t got = pwrite(fd, data + written, size - written, static_cast<off_t>(written));
    if (got <= 0) std::abort();
    written += static_cast<std::size_t>(got);
  }
}

// The lowest descriptor free now: the next file opened gets it.
int lowest_free_descriptor() {
  const int fd = open("/dev/null", O_RDONLY | O_CLOEXEC);
  if (fd < 0) std::abort();
  close(fd);
  return fd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const int fd = memory_file();
  replace_contents(fd, data, size);
  char path[64];
  std::snprintf(path, sizeof path, "/proc/self/fd/%d", fd);

  const int free_before = lowest_free_descriptor();
  BmpImage image{};
  const int result = read_bmp(&image, path);
  if (lowest_free_descriptor() != free_before) std::abort();  // the file was left open
  if ((result == 1) != (image.pixels != nullptr)) std::abort();  // rows exactly when it succeeds
  if ((result == 1) != (image.failure[0] == '\0')) std::abort();  // a reason exactly when it fails
  free_bmp(&image);
  return 0;
}
