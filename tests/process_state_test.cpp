// The tests of this program share one process: after every test the working directory, the
// environment and the places the game looks for its data are as they were before it. A watch
// checks that around each test, and the guards that tests put back what they change with are
// checked here.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "platform/system.h"
#include "process_state.h"

namespace {

namespace fs = std::filesystem;

struct ProcessState {
  fs::path working_directory;
  std::set<std::string> environment;
  std::string data_places;
  bool operator==(const ProcessState&) const = default;
};

ProcessState current_state() {
  ProcessState state{fs::current_path(), {}, platform::data_places()};
  for (char** entry = environ; *entry != nullptr; ++entry) state.environment.insert(*entry);
  return state;
}

// What one set holds and the other does not, one entry a line.
std::string missing_from(const std::set<std::string>& these, const std::set<std::string>& those) {
  std::string found;
  for (const std::string& entry : these) {
    if (!those.contains(entry)) found += "\n  " + entry;
  }
  return found;
}

// Fails a test that leaves the process changed, in whatever order the tests run.
class ProcessStateWatch : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo&) override { before_ = current_state(); }
  void OnTestEnd(const ::testing::TestInfo& test) override {
    const ProcessState after = current_state();
    const std::string name = std::string(test.test_suite_name()) + "." + test.name();
    EXPECT_EQ(after.working_directory, before_.working_directory) << name << " left the working directory moved";
    EXPECT_EQ(after.environment, before_.environment)
        << name << " left the environment changed; gone:" << missing_from(before_.environment, after.environment)
        << "\nnew:" << missing_from(after.environment, before_.environment);
    EXPECT_EQ(after.data_places, before_.data_places) << name << " left the game looking elsewhere for its data";
  }

  ProcessState before_;
};

[[maybe_unused]] const bool watching = [] {
  ::testing::UnitTest::GetInstance()->listeners().Append(new ProcessStateWatch);
  return true;
}();

TEST(ProcessState, GuardsGiveBackWhatTheyChangedInReverseOrder) {
  const ProcessState before = current_state();
  {
    const TemporaryFolder folder("process-state");
    const WorkingDirectory working(folder.path());
    const SearchDirectory search(folder.path());
    EnvironmentChange environment;
    // A variable changed twice gets its very first value back, an absent one goes again.
    environment.set("PATH", "/nowhere").set("PATH", "/elsewhere").unset("PATH");
    environment.set("RINK_PROCESS_STATE_TEST", "one").set("RINK_PROCESS_STATE_TEST", "two");
    environment.keep("RINK_PROCESS_STATE_KEPT");
    setenv("RINK_PROCESS_STATE_KEPT", "set by what the test runs", 1);
    const ProcessState during = current_state();
    EXPECT_TRUE(fs::equivalent(during.working_directory, folder.path()));
    EXPECT_EQ(during.data_places, folder.path().string());
    EXPECT_EQ(during.environment.count("RINK_PROCESS_STATE_TEST=two"), 1u);
    EXPECT_EQ(getenv("PATH"), nullptr);
  }
  EXPECT_EQ(current_state(), before);
}

TEST(ProcessState, TemporaryFoldersAreFreshAndGoWithAllTheyHold) {
  fs::path gone;
  {
    const TemporaryFolder first("process-state");
    const TemporaryFolder second("process-state");
    EXPECT_NE(first.path(), second.path());
    EXPECT_TRUE(fs::is_empty(first.path()));
    fs::create_directories(first / "deeper" / "still");
    std::ofstream(first / "deeper" / "file.txt") << "kept until the folder goes";
    gone = first.path();
  }
  EXPECT_FALSE(fs::exists(gone));
}

}  // namespace
