// A run that writes its pages on a thread of its own must do what a run on one thread does: the
// same files in the same order with the same bytes, the same progress calls, warnings and
// messages, and the same files after a cancel or a failed write at any point.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "base/errors.h"
#include "html/generation_run.h"
#include "html/selection.h"
#include "support/fake_platform.h"
#include "support/recording_file_system.h"
#include "support/temp_folder.h"

namespace glossator {
namespace {

// Logs progress calls and warnings in one list, so that their interleaving is compared too.
// Records the writes in memory, and fails the write numbered `fail_at` (from 1; 0: none) as a
// full disk would.
class FailingFileSystem : public RecordingFileSystem {
 public:
  size_t fail_at = 0;
  size_t count = 0;
  bool WriteFile(const std::string& path, std::string_view bytes) override {
    if (++count == fail_at) throw FileWriteError(path, "No space left on device");
    return RecordingFileSystem::WriteFile(path, bytes);
  }
};

struct Outcome {
  std::vector<std::pair<std::string, std::string>> writes;
  std::vector<std::string> log;
  std::vector<std::string> information;
  std::string result;  // the outcome, or the error that ended the run

  bool operator==(const Outcome&) const = default;
};

void PrintTo(const Outcome& o, std::ostream* os) {
  *os << o.result << ", " << o.writes.size() << " writes:";
  for (const auto& write : o.writes) *os << " " << std::filesystem::path(write.first).filename();
  *os << "; log:";
  for (const auto& entry : o.log) *os << "\n  " << entry;
}

Outcome RunWith(Selection selection, int jobs, int cancel_at, size_t fail_at) {
  selection.jobs = jobs;
  LoggingPlatform platform;
  platform.cancel_at = cancel_at;
  FailingFileSystem files;
  files.fail_at = fail_at;
  Outcome outcome;
  try {
    RunSettings settings;
    settings.interactive = true;
    RunOutcome result = RunGeneration(selection, platform, settings, files).outcome;
    outcome.result = result == RunOutcome::kCompleted   ? "completed"
                     : result == RunOutcome::kCancelled ? "cancelled"
                                                        : "rejected";
  } catch (const GlosError& error) {
    outcome.result = error.what();
  }
  outcome.writes = files.Writes();
  outcome.log = platform.log;
  outcome.information = platform.information;
  return outcome;
}

class PageWriterTest : public testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(folder_.Dir() + "out");
    selection_.out_dir = folder_.Dir() + "out";
    const std::string golden = GLOSSATOR_TEST_DATA "/golden/";
    selection_.files = {golden + "src/collections.pas", golden + "src/streams.pas",
                        folder_.Write("slash.pas",
                                      "unit Slash;\r\ninterface\r\ntype\r\n"
                                      "A/B = class\r\nend;\r\nTAfter = class\r\n"
                                      "end;\r\nimplementation\r\n")};
    selection_.desc_file = golden + "src/intro.html";
    selection_.parse_private = true;
  }

  TempFolder folder_;
  Selection selection_;
};

TEST_F(PageWriterTest, GoldenRunIsTheSameOnAnyNumberOfThreads) {
  Outcome serial = RunWith(selection_, 1, 0, 0);
  ASSERT_EQ(serial.result, "completed");
  // The set, with the warning of the class page that cannot be written ("A/B").
  EXPECT_EQ(serial.writes.size(), 27u);
  EXPECT_EQ(std::count_if(serial.log.begin(), serial.log.end(),
                          [](const std::string& e) { return e.rfind("warning|", 0) == 0; }),
            1);
  for (int jobs : {2, 4}) EXPECT_EQ(RunWith(selection_, jobs, 0, 0), serial) << jobs << " jobs";
}

TEST_F(PageWriterTest, CancelAtEveryProgressCallWritesTheSameFiles) {
  Outcome complete = RunWith(selection_, 1, 0, 0);
  const std::vector<std::string>& log = complete.log;
  size_t calls = std::count_if(log.begin(), log.end(),
                               [](const std::string& e) { return e.rfind("progress|", 0) == 0; });
  for (size_t n = 1; n <= calls; ++n) {
    Outcome serial = RunWith(selection_, 1, static_cast<int>(n), 0);
    ASSERT_EQ(serial.result, "cancelled") << n;
    // What a cancelled run wrote is where the complete run began.
    ASSERT_LT(serial.writes.size(), complete.writes.size());
    EXPECT_TRUE(std::equal(serial.writes.begin(), serial.writes.end(), complete.writes.begin()));
    EXPECT_EQ(RunWith(selection_, 2, static_cast<int>(n), 0), serial) << "cancel at call " << n;
  }
}

// A failed class page is reported and the run goes on; any other failed page ends the run there.
TEST_F(PageWriterTest, FailedWriteAtEveryPageLeavesTheSameFiles) {
  const auto complete = RunWith(selection_, 1, 0, 0).writes;
  size_t writes = complete.size();
  int warned = 0;
  int ended = 0;
  for (size_t k = 1; k <= writes; ++k) {
    Outcome serial = RunWith(selection_, 1, 0, k);
    // Either the run went on without that one page, or it ended there with nothing after it.
    auto expected = complete;
    if (serial.result == "completed") {
      ++warned;
      expected.erase(expected.begin() + static_cast<long>(k - 1));
    } else {
      ++ended;
      EXPECT_EQ(serial.result,
                "Cannot write file " + complete[k - 1].first + " (No space left on device)");
      expected.resize(k - 1);
    }
    EXPECT_EQ(serial.writes, expected) << "write " << k << " fails";
    EXPECT_EQ(RunWith(selection_, 2, 0, k), serial) << "write " << k << " fails";
  }
  EXPECT_EQ(warned, 5);  // the class pages: four golden ones and TAfter
  EXPECT_EQ(ended, static_cast<int>(writes) - warned);
}

}  // namespace
}  // namespace glossator
