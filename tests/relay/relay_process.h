#pragma once
// The real rink-relay started as a child process on 127.0.0.1 and any free port, for the relay's
// tests and its load test. Its standard error goes to a file the caller names.

#include <sys/types.h>

#include <string>
#include <vector>

namespace relay_testing {

class RelayProcess {
 public:
  // Starts `program` with `--bind 127.0.0.1 --port 0` and `arguments`, and reads the port it
  // listens on from the first line of its standard output. port() is 0 when it did not start.
  RelayProcess(const std::string& program, const std::vector<std::string>& arguments, const std::string& log_file);
  ~RelayProcess();  // stops it (SIGTERM) and waits for it
  RelayProcess(const RelayProcess&) = delete;
  RelayProcess& operator=(const RelayProcess&) = delete;

  unsigned short port() const { return port_; }
  pid_t pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
  unsigned short port_ = 0;
};

// Runs a program to its end; its exit status (or -1), with its standard error in `error_text`.
int run_program(const std::string& program, const std::vector<std::string>& arguments, std::string& error_text);

}  // namespace relay_testing
