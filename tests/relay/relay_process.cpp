#include "relay_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace relay_testing {
namespace {

// How long a starting relay may take to name its port (a loaded machine, a sanitizer build).
constexpr int start_wait_ms = 30000;

std::vector<char*> argv_of(const std::string& program, std::vector<std::string>& arguments) {
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  return argv;
}

// Starts a child with its standard output on `out_fd` and its standard error on `err_fd`.
pid_t spawn(const std::string& program, std::vector<std::string> arguments, int out_fd, int err_fd) {
  std::vector<char*> argv = argv_of(program, arguments);
  const pid_t child = fork();
  if (child == 0) {
    // Its own session, so that the scheduler shares the processor between it and its clients as
    // between two programs (not as one session's); and it ends when the one that started it does.
    setsid();
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    dup2(out_fd, STDOUT_FILENO);
    dup2(err_fd, STDERR_FILENO);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  return child;
}

// The first line a child writes, within the start's wait.
std::string first_line(int fd) {
  std::string line;
  char c = 0;
  pollfd ready{fd, POLLIN, 0};
  while (poll(&ready, 1, start_wait_ms) == 1 && read(fd, &c, 1) == 1 && c != '\n') line.push_back(c);
  return line;
}

}  // namespace

RelayProcess::RelayProcess(const std::string& program, const std::vector<std::string>& arguments,
                           const std::string& log_file) {
  std::vector<std::string> all{"--bind", "127.0.0.1", "--port", "0"};
  all.insert(all.end(), arguments.begin(), arguments.end());
  int out[2];
  if (pipe(out) != 0) return;
  const int log = open(log_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  pid_ = spawn(program, all, out[1], log < 0 ? STDERR_FILENO : log);
  close(out[1]);
  if (log >= 0) close(log);
  // "rink-relay: listening on ADDRESS port N"
  const std::string line = first_line(out[0]);
  close(out[0]);
  const std::size_t last_blank = line.rfind(' ');
  if (pid_ > 0 && last_blank != std::string::npos) {
    port_ = static_cast<unsigned short>(std::strtoul(line.c_str() + last_blank + 1, nullptr, 10));
  }
}

RelayProcess::~RelayProcess() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  int status = 0;
  waitpid(pid_, &status, 0);
}

int run_program(const std::string& program, const std::vector<std::string>& arguments, std::string& error_text) {
  int err[2];
  if (pipe(err) != 0) return -1;
  const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
  const pid_t child = spawn(program, arguments, null, err[1]);
  close(err[1]);
  close(null);
  char buffer[512];
  ssize_t got = 0;
  while ((got = read(err[0], buffer, sizeof buffer)) > 0) error_text.append(buffer, static_cast<std::size_t>(got));
  close(err[0]);
  int status = 0;
  if (child <= 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

}  // namespace relay_testing
