#pragma once
// What a test changes of its process, given back when the test ends, however it ends (a failed
// ASSERT returns early): the tests of a program share one process, and each must leave it as it
// found it.

#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/system.h"

// A folder of the test's own, made fresh under the system's temporary folder and removed with
// everything in it. Its name is new on every call, so no two tests ever meet in it.
class TemporaryFolder {
 public:
  explicit TemporaryFolder(const std::string& purpose) {
    std::string pattern = (std::filesystem::temp_directory_path() / ("rink-" + purpose + "-XXXXXX")).string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::system_error(errno, std::generic_category(), pattern);
    path_ = pattern;
  }
  ~TemporaryFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// The working directory moved to FOLDER while this lives.
class WorkingDirectory {
 public:
  explicit WorkingDirectory(const std::filesystem::path& folder) : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
  }
  ~WorkingDirectory() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
  }
  WorkingDirectory(const WorkingDirectory&) = delete;
  WorkingDirectory& operator=(const WorkingDirectory&) = delete;

 private:
  std::filesystem::path previous_;
};

// Environment variables set or removed while this lives; each gets its earlier value back.
class EnvironmentChange {
 public:
  EnvironmentChange() = default;
  ~EnvironmentChange() {
    for (auto saved = saved_.rbegin(); saved != saved_.rend(); ++saved) {
      if (saved->second) {
        setenv(saved->first.c_str(), saved->second->c_str(), 1);
      } else {
        unsetenv(saved->first.c_str());
      }
    }
  }
  EnvironmentChange(const EnvironmentChange&) = delete;
  EnvironmentChange& operator=(const EnvironmentChange&) = delete;

  EnvironmentChange& set(const char* name, const char* value) {
    save(name);
    setenv(name, value, 1);
    return *this;
  }
  EnvironmentChange& unset(const char* name) {
    save(name);
    unsetenv(name);
    return *this;
  }
  // Gives NAME its present value back at the end, whatever sets it meanwhile.
  EnvironmentChange& keep(const char* name) {
    save(name);
    return *this;
  }

 private:
  void save(const char* name) {
    const char* value = getenv(name);
    saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
  }

  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

// An alarm that ends the process (failing its test) if the test hangs for SECONDS; put away when
// the test ends, so that it never goes off in a later test.
class HangAlarm {
 public:
  explicit HangAlarm(unsigned seconds) { alarm(seconds); }
  ~HangAlarm() { alarm(0); }
  HangAlarm(const HangAlarm&) = delete;
  HangAlarm& operator=(const HangAlarm&) = delete;
};

// Bare names looked for in FOLDER while this lives, then where the game looks for them again.
class SearchDirectory {
 public:
  explicit SearchDirectory(const std::filesystem::path& folder) { platform::set_search_directory(folder.c_str()); }
  ~SearchDirectory() { platform::set_search_directory(nullptr); }
  SearchDirectory(const SearchDirectory&) = delete;
  SearchDirectory& operator=(const SearchDirectory&) = delete;
};
