#pragma once
// The build tree the tests run in: the executables lie at its top, the bitmaps beside them and
// the sounds in sounds/.

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

inline std::filesystem::path build_directory() { return std::filesystem::read_symlink("/proc/self/exe").parent_path(); }

// Runs one of the build's tools with ARGUMENTS, its standard error dropped; its exit status, or
// -1 when it did not exit.
inline int run_build_tool(const char* tool, const std::string& arguments) {
  const std::string command = (build_directory() / tool).string() + " " + arguments + " 2>/dev/null";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
