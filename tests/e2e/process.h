#pragma once
// Child processes for the end-to-end tests: started with posix_spawn, waited for with a time
// limit, and always ended and reaped by their own process id when their owner goes away.

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace e2e {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::milliseconds;

// NAME=VALUE entries, as a child receives them.
using Environment = std::vector<std::string>;

// This process's environment with `set` entries (NAME=VALUE) replacing or adding theirs and the
// variables named in `unset` left out.
Environment environment_with(const std::vector<std::string>& set,
                             const std::vector<std::string>& unset = {});

struct SpawnOptions {
  std::vector<std::string> argv = {};  // argv[0]: a path, or a name looked up in PATH
  Environment environment = {};
  std::string stdout_path = {};   // empty: /dev/null
  std::string stderr_path = {};   // empty: /dev/null
  int stdout_fd = -1;             // when set, used instead of stdout_path
  int descriptor_3 = -1;          // when set, handed to the child as its descriptor 3
  std::string working_directory = {};  // empty: this process's
};

class Process {
 public:
  // Throws std::runtime_error when the program cannot be started.
  explicit Process(const SpawnOptions& options);
  // Kills the child (SIGKILL) if it still runs, and reaps it.
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  pid_t pid() const { return pid_; }
  bool running();
  // The exit code once the child has ended within `limit` (128 + signal number when a signal
  // ended it); nothing when it still runs.
  std::optional<int> wait_for_exit(Milliseconds limit);
  // SIGTERM, then SIGKILL when the child has not ended within `grace`.
  void stop(Milliseconds grace = 2000ms);

 private:
  bool reap(int options);

  pid_t pid_ = -1;
  std::optional<int> exit_code_;
};

// A pipe whose ends close with it. Both ends close on exec: a child gets one only through
// SpawnOptions, as one of its standard descriptors.
class Pipe {
 public:
  Pipe();  // throws std::runtime_error
  ~Pipe();
  Pipe(const Pipe&) = delete;
  Pipe& operator=(const Pipe&) = delete;

  int read_end() const { return fds_[0]; }
  int write_end() const { return fds_[1]; }
  // Once the child holds its copy: reads then see end of file when the child closes it.
  void close_write_end();

 private:
  int fds_[2];
};

struct CommandResult {
  std::optional<int> exit_code;  // nothing when the command had to be killed at its time limit
  std::string output;            // what it wrote on standard output
};

// Processor time the process has used so far (user and system), in seconds; 0 when it is gone.
double processor_seconds(pid_t pid);

// Runs a command to its end, or kills it at `limit`.
CommandResult run_command(const std::vector<std::string>& argv, const Environment& environment,
                          Milliseconds limit = 10000ms);

// Appends what `fd` gives until end of file, or until `stop` when it is not '\0'; false when
// `deadline` came first.
bool read_until(int fd, std::string& out, Clock::time_point deadline, char stop = '\0');

// Calls `check` every `interval` until it returns true or `limit` has passed; the result of the
// last call.
template <class Check>
bool poll_until(Milliseconds limit, Check check, Milliseconds interval = 50ms) {
  const Clock::time_point deadline = Clock::now() + limit;
  for (;;) {
    if (check()) return true;
    if (Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(interval);
  }
}

}  // namespace e2e
