#include "process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace e2e {
namespace {

std::string variable_name(const std::string& entry) { return entry.substr(0, entry.find('=')); }

std::vector<char*> c_strings(const std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (const std::string& s : strings) pointers.push_back(const_cast<char*>(s.c_str()));
  pointers.push_back(nullptr);
  return pointers;
}

// Where a child's standard output or error goes: a descriptor of ours, a file, or nowhere.
void redirect(posix_spawn_file_actions_t* actions, int target, int fd, const std::string& path) {
  if (fd >= 0) {
    posix_spawn_file_actions_adddup2(actions, fd, target);
    return;
  }
  const char* file = path.empty() ? "/dev/null" : path.c_str();
  posix_spawn_file_actions_addopen(actions, target, file, O_WRONLY | O_CREAT | O_TRUNC, 0644);
}

int exit_code_of(int status) {
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

double processor_seconds(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  const std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  const std::size_t name_end = text.rfind(')');
  if (name_end == std::string::npos) return 0;
  // After the command name in parentheses: state is field 3, utime and stime fields 14 and 15.
  std::istringstream fields(text.substr(name_end + 2));
  std::string skipped;
  for (int field = 3; field < 14; ++field) fields >> skipped;
  double user = 0, system = 0;
  if (!(fields >> user >> system)) return 0;
  return (user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

Environment environment_with(const std::vector<std::string>& set,
                             const std::vector<std::string>& unset) {
  std::vector<std::string> dropped = unset;
  for (const std::string& entry : set) dropped.push_back(variable_name(entry));
  Environment result;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string name = variable_name(*entry);
    if (std::find(dropped.begin(), dropped.end(), name) == dropped.end()) result.push_back(*entry);
  }
  result.insert(result.end(), set.begin(), set.end());
  return result;
}

Process::Process(const SpawnOptions& options) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  redirect(&actions, 1, options.stdout_fd, options.stdout_path);
  redirect(&actions, 2, -1, options.stderr_path);
  if (options.descriptor_3 >= 0) posix_spawn_file_actions_adddup2(&actions, options.descriptor_3, 3);
  if (!options.working_directory.empty()) {
    posix_spawn_file_actions_addchdir_np(&actions, options.working_directory.c_str());
  }
  std::vector<char*> argv = c_strings(options.argv);
  std::vector<char*> envp = c_strings(options.environment);
  const int error = posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) {
    pid_ = -1;
    throw std::runtime_error("cannot start " + options.argv[0] + ": " + std::strerror(error));
  }
}

Process::~Process() {
  if (running()) {
    kill(pid_, SIGKILL);
    reap(0);
  }
}

bool Process::reap(int options) {
  int status = 0;
  pid_t got;
  do {
    got = waitpid(pid_, &status, options);
  } while (got < 0 && errno == EINTR);
  if (got != pid_) return false;
  exit_code_ = exit_code_of(status);
  return true;
}

bool Process::running() { return pid_ > 0 && !exit_code_ && !reap(WNOHANG); }

std::optional<int> Process::wait_for_exit(Milliseconds limit) {
  poll_until(limit, [this] { return !running(); }, 10ms);
  return exit_code_;
}

void Process::stop(Milliseconds grace) {
  if (!running()) return;
  kill(pid_, SIGTERM);
  if (wait_for_exit(grace)) return;
  kill(pid_, SIGKILL);
  reap(0);
}

Pipe::Pipe() {
  if (pipe2(fds_, O_CLOEXEC) != 0) throw std::runtime_error("cannot make a pipe");
}

Pipe::~Pipe() {
  for (int fd : fds_) {
    if (fd >= 0) close(fd);
  }
}

void Pipe::close_write_end() {
  close(fds_[1]);
  fds_[1] = -1;
}

bool read_until(int fd, std::string& out, Clock::time_point deadline, char stop) {
  char buffer[65536];
  for (;;) {
    const auto left = std::chrono::duration_cast<Milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return false;
    pollfd ready{fd, POLLIN, 0};
    if (poll(&ready, 1, static_cast<int>(left)) <= 0) continue;
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got == 0) return true;
    if (got < 0 && errno != EINTR) return true;
    if (got < 0) continue;
    out.append(buffer, static_cast<std::size_t>(got));
    if (stop != '\0' && std::memchr(buffer, stop, static_cast<std::size_t>(got)) != nullptr) return true;
  }
}

CommandResult run_command(const std::vector<std::string>& argv, const Environment& environment,
                          Milliseconds limit) {
  Pipe pipe;
  const Clock::time_point deadline = Clock::now() + limit;
  Process command({.argv = argv, .environment = environment, .stdout_fd = pipe.write_end()});
  pipe.close_write_end();
  CommandResult result;
  read_until(pipe.read_end(), result.output, deadline);
  const auto left = std::chrono::duration_cast<Milliseconds>(deadline - Clock::now());
  result.exit_code = command.wait_for_exit(std::max(left, Milliseconds(0)));
  return result;
}

}  // namespace e2e
