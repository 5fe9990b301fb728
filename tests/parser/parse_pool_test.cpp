// A parse on several threads must leave what a parse on one thread leaves: the same tree, the
// same progress calls and warnings in the same order, the same state after a cancel at any call
// and after an error in any file.
#include <gtest/gtest.h>

#include <algorithm>
#include <exception>
#include <string>
#include <vector>

#include "base/errors.h"
#include "parser/cGlossator.h"
#include "parser/pascal_source.h"
#include "support/fake_platform.h"
#include "support/temp_folder.h"

namespace glossator {
namespace {

// The whole tree as text: every node with its values, and each unit's listed file.
void DumpNode(const TGlosParser& parser, const TXMLNode* node, int depth, std::string& out) {
  out.append(2 * depth, ' ').append("<").append(node->Name()).append(">");
  if (node->Parent() != nullptr && node->Parent()->Name() == "parsedUnits") {
    out += " file=" + parser.SourceFile(node);
  }
  out += "\n";
  for (size_t v = 0; v < node->ValueCount(); ++v) {
    out.append(2 * depth + 2, ' ').append("=").append(node->Value(v)).append("\n");
  }
  for (size_t c = 0; c < node->ChildCount(); ++c) {
    const TXMLNode* child = node->Child(c);
    // A leaf of an index entry may be the very leaf of the item it stands for, or the "unit"
    // leaf of the unit's first entry: its parent is the node it was first added under, which
    // holds it too.
    if (child->Parent() != node) {
      EXPECT_EQ(child->ChildCount(), 0u) << child->Name();
      const TXMLNode* first = child->Parent();
      ASSERT_NE(first, nullptr);
      bool held = false;
      for (size_t k = 0; k < first->ChildCount(); ++k) held = held || first->Child(k) == child;
      EXPECT_TRUE(held) << child->Name();
    }
    DumpNode(parser, child, depth + 1, out);
  }
}

// What one parse leaves behind.
struct Outcome {
  std::string tree;
  std::vector<std::string> log;
  bool cancelled = false;
  std::string error;  // type, message and file of the error that ended the run

  bool operator==(const Outcome&) const = default;
};

void PrintTo(const Outcome& o, std::ostream* os) {
  *os << "cancelled=" << o.cancelled << " error=" << o.error << " calls=" << o.log.size() << "\n"
      << o.tree;
}

Outcome Parse(const std::vector<std::string>& files, int jobs, int cancel_at) {
  LoggingPlatform platform;
  platform.cancel_at = cancel_at;
  TGlosParser parser(&platform);
  parser.Jobs = jobs;
  parser.ParsePrivate = true;
  Outcome outcome;
  try {
    parser.ParseUnits(files);
  } catch (const ListIndexError& error) {
    outcome.error = std::string("index: ") + error.what() + " in " + error.File();
  } catch (const FileOpenError& error) {
    outcome.error = std::string("open: ") + error.what() + " in " + error.File();
  }
  if (parser.Tree() != nullptr) DumpNode(parser, parser.Tree()->Root(), 0, outcome.tree);
  outcome.log = platform.log;
  outcome.cancelled = parser.Cancelled;
  return outcome;
}

class ParsePoolTest : public testing::Test {
 protected:
  // Units with classes, fields without a type (a warning each), routines and constants.
  std::string Unit(const std::string& name, int classes, const std::string& file = "") {
    std::vector<std::string> lines = {"{** Unit " + name + ". }", "unit " + name + ";", "interface",
                                      "type"};
    for (int c = 0; c < classes; ++c) {
      std::string cls = "T" + name + std::to_string(c);
      lines.insert(lines.end(),
                   {"{** Class " + cls + ". }", cls + " = class(TObject)", "private",
                    "  FSecret: Integer;", "public", "  Loose;", "  procedure Run(A: Integer);",
                    "  property Size: Integer;", "end;"});
    }
    lines.insert(
        lines.end(),
        {"{** Adds. }", "function " + name + "Add(A, B: Integer): Integer;",
         "procedure " + name + "Reset;", "const", "K" + name + " = 1;", "implementation",
         "{** Runs it. }", "procedure T" + name + "0.Run(A: Integer);", "begin", "end;", "end."});
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return folder_.Write((file.empty() ? name : file) + ".pas", text);
  }

  std::vector<std::string> Files() {
    return {Unit("Alpha", 2), Unit("Beta", 0), Unit("Gamma", 3), Unit("Delta", 1),
            Unit("Alpha", 1, "alpha2")};  // a second unit of the same name, after the others
  }

  TempFolder folder_;
};

TEST_F(ParsePoolTest, CompleteRunIsTheSameOnAnyNumberOfThreads) {
  std::vector<std::string> files = Files();
  Outcome serial = Parse(files, 1, 0);
  ASSERT_FALSE(serial.cancelled);
  // The run really saw every file: 4 calls per file and its items, and 2 afterwards.
  EXPECT_EQ(
      std::count(serial.log.begin(), serial.log.end(), "progress|Parsing unit in Gamma.pas||step"),
      1);
  EXPECT_EQ(serial.log.back(), "progress|Sorting indexes||step");
  EXPECT_NE(serial.tree.find("<allConstants>"), std::string::npos);
  EXPECT_NE(serial.tree.find("<TGamma2>"), std::string::npos);
  int warnings = 0;
  for (const std::string& entry : serial.log) warnings += entry.rfind("warning|", 0) == 0;
  EXPECT_EQ(warnings, 7);  // one per class
  for (int jobs : {2, 3, 8}) EXPECT_EQ(Parse(files, jobs, 0), serial) << jobs << " jobs";
}

TEST_F(ParsePoolTest, CancelAtEveryProgressCallLeavesTheSameState) {
  std::vector<std::string> files = Files();
  size_t calls = 0;
  for (const std::string& entry : Parse(files, 1, 0).log) calls += entry.rfind("progress|", 0) == 0;
  ASSERT_GT(calls, 30u);
  for (size_t n = 1; n <= calls; ++n) {
    Outcome serial = Parse(files, 1, static_cast<int>(n));
    ASSERT_TRUE(serial.cancelled) << n;
    EXPECT_EQ(Parse(files, 2, static_cast<int>(n)), serial) << "cancel at call " << n;
    EXPECT_EQ(Parse(files, 3, static_cast<int>(n)), serial) << "cancel at call " << n;
  }
}

TEST_F(ParsePoolTest, ErrorInAnyFileLeavesTheSameStateAndNamesTheFile) {
  const std::string bad_files[] = {
      folder_.Dir() + "missing.pas",
      // The routine's comment is never closed: the scan runs past the last line after the
      // class pass added its nodes.
      folder_.Write("unclosed.pas",
                    Source({"unit Unclosed;", "interface", "type", "TKept = class", "public",
                            "  Loose;", "end;", "{** never closed", "procedure P;"})),
      folder_.Write("empty.pas", ""),
  };
  std::vector<std::string> files = Files();
  for (const std::string& bad : bad_files) {
    for (size_t at = 0; at <= files.size(); ++at) {
      std::vector<std::string> listed = files;
      listed.insert(listed.begin() + static_cast<long>(at), bad);
      Outcome serial = Parse(listed, 1, 0);
      ASSERT_NE(serial.error, "") << bad;
      EXPECT_NE(serial.error.find(" in " + bad), std::string::npos) << serial.error;
      for (int jobs : {2, 3}) {
        EXPECT_EQ(Parse(listed, jobs, 0), serial) << bad << " at " << at << ", " << jobs;
      }
    }
  }
}

}  // namespace
}  // namespace glossator
