#include "app/command_line.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace command_line {

int refuse(const char* program, const std::string& mistake) {
  std::fprintf(stderr, "%s: %s\nTry '%s --help'.\n", program, mistake.c_str(), program);
  return mistake_status;
}

int print_help(const char* program, const char* usage) {
  std::fputs(usage, stdout);
  return finish_output(program, 0);
}

int print_version(const char* program, const char* version) {
  std::printf("%s %s\n", program, version);
  return finish_output(program, 0);
}

bool output_open(const char* program) {
  if (fcntl(STDOUT_FILENO, F_GETFD) != -1) return true;
  std::fprintf(stderr, "%s: cannot write the standard output: %s\n", program, std::strerror(errno));
  return false;
}

int finish_output(const char* program, int exit_code) {
  // A closed or full standard output fails at a write, which the flush makes at the latest.
  errno = 0;
  bool written = std::fflush(stdout) == 0 && !std::ferror(stdout);
  int reason = errno;
  if (std::fclose(stdout) != 0) {
    written = false;
    if (reason == 0) reason = errno;
  }
  if (written) return exit_code;
  std::fprintf(stderr, "%s: cannot write the standard output: %s\n", program,
               reason != 0 ? std::strerror(reason) : "an earlier write failed");
  return 1;
}

bool parse_number(const std::string& option, const char* text, long lowest, long highest, long& number,
                  std::string& mistake) {
  long value = 0;
  bool digits = *text != '\0';
  for (const char* c = text; *c != '\0' && digits; ++c) {
    digits = *c >= '0' && *c <= '9';
    // Past the highest, the value stops growing, so no count of digits overflows.
    if (digits && value <= highest) value = value * 10 + (*c - '0');
  }
  if (digits && value >= lowest && value <= highest) {
    number = value;
    return true;
  }
  mistake = option + " must be a whole number from " + std::to_string(lowest) + " to " + std::to_string(highest) +
            ", not '" + text + "'";
  return false;
}

bool parse_players(const char* text, int& players, std::string& mistake) {
  const std::string count = text;
  players = count == "1" ? 1 : count == "2" ? 2 : 0;
  if (players == 0) mistake = "--players must be 1 or 2, not '" + count + "'";
  return players != 0;
}

}  // namespace command_line
