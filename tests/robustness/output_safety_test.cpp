// The output folder under attack and under bad luck: links swapped under a page name while runs
// go on, a description file of a gigabyte, runs killed while a large page is replaced, SIGTERM
// and SIGHUP, standard error closed early. The real program runs; the test looks at the disk.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "program_run.h"

extern char** environ;

namespace glossator {
namespace {

using namespace testing_run;
using Clock = std::chrono::steady_clock;

class OutputSafetyTest : public ProgramTest {
 protected:
  // Writes a selection of `units` into out/, with `description` as its description file.
  fs::path Selection(const std::vector<std::string>& units, const fs::path& description = {}) {
    fs::path selection = dir_ / "selection.gls";
    WriteAll(selection, SelectionText(units, (dir_ / "out").string(), description.string()));
    return selection;
  }

  // Starts "glossator -p SELECTION -b" with both outputs thrown away; returns its process id.
  static pid_t Start(const fs::path& selection) {
    std::string program = GLOSSATOR_BINARY_DIR "/glossator";
    std::string path = selection.string();
    char* argv[] = {program.data(), const_cast<char*>("-p"), path.data(), const_cast<char*>("-b"),
                    nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    EXPECT_EQ(posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
  }

  // Waits for the program; its exit status, or -signal when a signal ended it.
  static int Wait(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
  }

  // The names in out/ that start with "." (temporary files; no page starts so).
  std::vector<std::string> Temporaries() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_ / "out")) {
      std::string name = entry.path().filename().string();
      if (name.front() == '.') names.push_back(name);
    }
    return names;
  }

  // Waits until a temporary file shows in out/ while the run `pid` goes on (kSeen). kEnded when
  // the run ended first (it has then been waited for); kTimedOut after some seconds.
  enum class Look { kSeen, kEnded, kTimedOut };
  Look AwaitTemporaryOf(pid_t pid) {
    for (auto end = Clock::now() + std::chrono::seconds(20); Clock::now() < end;) {
      if (!Temporaries().empty()) return Look::kSeen;
      int status = 0;
      if (waitpid(pid, &status, WNOHANG) == pid) return Look::kEnded;
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return Look::kTimedOut;
  }
};

// A link under a page name is swapped, as fast as the test can, between a harmless target and
// a file outside the folder while runs go on. Pages replace links and never write through them.
TEST_F(OutputSafetyTest, LinkSwappedUnderPageNameNeverReachesOutside) {
  std::vector<std::string> units = {Unit("alpha.pas", SmallUnit("Alpha", "TAlpha")).string()};
  ASSERT_EQ(RunOn(units).status, 0);
  WriteAll(dir_ / "outside.txt", "outside");
  WriteAll(dir_ / "harmless.txt", "harmless");
  std::atomic<bool> stop = false;
  std::thread swapper([&] {
    fs::path link = dir_ / "out" / "index.html";
    fs::path next = dir_ / "out" / "swap.link";
    for (bool outside = false; !stop; outside = !outside) {
      std::error_code ignored;
      fs::remove(next, ignored);
      fs::create_symlink(dir_ / (outside ? "outside.txt" : "harmless.txt"), next, ignored);
      fs::rename(next, link, ignored);
    }
  });
  // Four seconds of runs, and eleven at least however slow the build (a sanitizer's) or the
  // machine.
  int runs = 0;
  for (auto end = Clock::now() + std::chrono::seconds(4); Clock::now() < end || runs <= 10;
       ++runs) {
    Outcome outcome = RunOn(units);
    EXPECT_EQ(outcome.status, 0) << outcome.errors;
  }
  stop = true;
  swapper.join();
  EXPECT_EQ(ReadAll(dir_ / "outside.txt"), "outside");
  EXPECT_EQ(ReadAll(dir_ / "harmless.txt"), "harmless");
}

// The description file is copied in chunks: a gigabyte costs no more memory than a small file.
TEST_F(OutputSafetyTest, LargeDescriptionIsCopiedWithFlatMemory) {
  fs::path description = dir_ / "big.html";
  { std::ofstream create(description); }
  fs::resize_file(description, 1ull << 30);  // sparse: reads as zeros
  fs::path selection =
      Selection({Unit("alpha.pas", SmallUnit("Alpha", "TAlpha")).string()}, description);

  int status = Wait(Start(selection));
  struct rusage usage;
  getrusage(RUSAGE_CHILDREN, &usage);

  EXPECT_EQ(status, 0);
  EXPECT_EQ(fs::file_size(dir_ / "out" / "big.html"), 1ull << 30);
  EXPECT_LT(usage.ru_maxrss, 300 * 1024) << "peak KiB of the run";
  fs::remove(dir_ / "out" / "big.html");
}

// Killed while the copy of a 100 MB page replaces the old one, at several moments: the next run
// removes the temporary the dead one left and writes the same set as a clean run.
TEST_F(OutputSafetyTest, RunKilledWhileReplacingLeavesNothingForTheNextRun) {
  std::vector<std::string> units = {Unit("alpha.pas", SmallUnit("Alpha", "TAlpha")).string()};
  fs::path description = dir_ / "intro.html";
  WriteAll(description, std::string(100 << 20, 'a'));
  fs::path selection = Selection(units, description);
  ASSERT_EQ(Wait(Start(selection)), 0);
  WriteAll(description, std::string(100 << 20, 'b'));

  char fill = 'b';
  for (int delay_us : {0, 2000, 10000}) {
    // On a busy machine a run may copy the page between two looks and end: the next run gets
    // other bytes to copy, and is watched again.
    bool killed = false;
    for (int attempt = 0; attempt < 8 && !killed; ++attempt) {
      pid_t pid = Start(selection);
      Look look = AwaitTemporaryOf(pid);
      if (look != Look::kEnded) {
        if (look == Look::kSeen) std::this_thread::sleep_for(std::chrono::microseconds(delay_us));
        kill(pid, SIGKILL);
        Wait(pid);
        killed = look == Look::kSeen;
        ASSERT_TRUE(killed) << "the run neither ended nor made a temporary file in 20 s";
      } else {
        fill = fill == 'b' ? 'c' : 'b';
        WriteAll(description, std::string(100 << 20, fill));
      }
    }
    ASSERT_TRUE(killed) << "no temporary file was seen in eight runs";
  }
  std::map<std::string, std::string> after_kills = Snapshot(dir_ / "out");
  ASSERT_EQ(Wait(Start(selection)), 0);

  EXPECT_EQ(Temporaries(), std::vector<std::string>());
  std::map<std::string, std::string> set = Snapshot(dir_ / "out");
  fs::remove_all(dir_ / "out");
  fs::create_directory(dir_ / "out");
  ASSERT_EQ(Wait(Start(selection)), 0);
  EXPECT_TRUE(set == Snapshot(dir_ / "out")) << "the set differs from a clean run's";
  EXPECT_FALSE(after_kills.empty());
}

// SIGTERM and SIGHUP cancel as Ctrl-C does, with 128 + the signal as exit status, while a run
// replaces the pages of an earlier one: every page then holds its old or its new text, whole,
// and no temporary stays.
TEST_F(OutputSafetyTest, TerminationSignalsCancelTheRun) {
  auto write_units = [this](const std::string& comment) {
    std::vector<std::string> units;
    for (int i = 0; i < 200; ++i) {
      std::string name = "U" + std::to_string(i);
      std::string text = SmallUnit(name, "T" + name);
      text.replace(text.find("The unit"), 8, comment + " The unit");
      units.push_back(Unit(name + ".pas", text).string());
    }
    return units;
  };
  ASSERT_EQ(RunOn(write_units("Old text.")).status, 0);
  std::map<std::string, std::string> old_set = Snapshot(dir_ / "out");
  std::vector<std::string> units = write_units("New text.");
  fs::create_directory(dir_ / "new");
  ASSERT_EQ(RunOn(units, (dir_ / "new").string()).status, 0);
  std::map<std::string, std::string> new_set = Snapshot(dir_ / "new");
  fs::path selection = Selection(units);

  for (int signal_number : {SIGTERM, SIGHUP}) {
    // Back to the old set: the run to cancel replaces every page.
    ASSERT_EQ(RunOn(write_units("Old text.")).status, 0);
    write_units("New text.");
    pid_t pid = Start(selection);
    // The first unit page is new: the run is in its page loop, with a progress call per unit
    // still to come.
    auto end = Clock::now() + std::chrono::seconds(20);
    while (ReadAll(dir_ / "out" / "U0.html") == old_set["U0.html"] && Clock::now() < end) {
      std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    kill(pid, signal_number);
    EXPECT_EQ(Wait(pid), 128 + signal_number);
    EXPECT_EQ(Temporaries(), std::vector<std::string>());
    for (const auto& [name, bytes] : Snapshot(dir_ / "out")) {
      EXPECT_TRUE(bytes == old_set[name] || bytes == new_set[name]) << name;
    }
  }
}

// Standard error closed after its first line: the messages are lost, the run is not.
TEST_F(OutputSafetyTest, ClosedStandardErrorDoesNotStopTheRun) {
  std::string text = "unit Slashes;\r\ninterface\r\ntype\r\n";
  for (int i = 0; i < 200; ++i) text += "  TA/T" + std::to_string(i) + " = class\r\n  end;\r\n";
  text += "  TPlain = class\r\n  end;\r\nimplementation\r\nend.\r\n";
  fs::path selection = Selection({Unit("slashes.pas", text).string()});
  std::string command = "exec " + Quoted(GLOSSATOR_BINARY_DIR "/glossator") + " -p " +
                        Quoted(selection.string()) + " -b 2>&1 | head -1 >" +
                        Quoted((dir_ / "first.txt").string());

  ASSERT_EQ(std::system(("sh -c " + Quoted(command)).c_str()), 0);

  EXPECT_EQ(ReadAll(dir_ / "first.txt"),
            (dir_ / "src" / "slashes.pas").string() +
                ": warning: page of class TA/T0 not written: the name holds /\n");
  for (const std::string& page : FixedPages()) EXPECT_TRUE(fs::exists(dir_ / "out" / page)) << page;
  EXPECT_TRUE(fs::exists(dir_ / "out" / "TPlain.html"));
}

// The window, told to end by SIGTERM or SIGHUP, closes and exits with 128 + the signal.
TEST_F(OutputSafetyTest, WindowClosesOnTerminationSignals) {
  std::string program = GLOSSATOR_BINARY_DIR "/glossator-window";
  if (access(program.c_str(), X_OK) != 0) GTEST_SKIP() << "built without the window";
  for (int signal_number : {SIGTERM, SIGHUP}) {
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      setenv("QT_QPA_PLATFORM", "offscreen", 1);
      freopen("/dev/null", "w", stderr);
      execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));  // the window is up
    kill(pid, signal_number);
    int status = 0;
    bool ended = false;
    for (auto end = Clock::now() + std::chrono::seconds(20); !ended && Clock::now() < end;) {
      ended = waitpid(pid, &status, WNOHANG) == pid;
      if (!ended) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (!ended) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      ADD_FAILURE() << "the window did not close";
    }
    EXPECT_TRUE(WIFEXITED(status)) << "ended by a signal, not closed";
    EXPECT_EQ(WEXITSTATUS(status), 128 + signal_number);
  }
}

}  // namespace
}  // namespace glossator
