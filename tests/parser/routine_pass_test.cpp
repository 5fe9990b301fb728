#include <gtest/gtest.h>

#include "parser/pascal_source.h"
#include "parser/scan_text.h"
#include "parser/unit_scan.h"
#include "support/fake_platform.h"

namespace glossator {
namespace {

struct RoutineRun {
  explicit RoutineRun(const std::string& source, int cancel_at = 0) : parser(&platform) {
    platform.cancel_at = cancel_at;
    parser.SetSource(source);
    tree.SetRoot(std::make_unique<TXMLNode>("functions"));
    parser.ParseFunctions(tree.Root());
  }
  std::vector<std::string> Names() const { return ChildNames(tree.Root()); }
  const TXMLNode* Routine(size_t i) const { return tree.Root()->Child(i); }

  FakePlatform platform;
  UnitScan parser;
  TXMLTree tree;
};

TEST(RoutinePass, RecordsUnitRoutinesWithHeadingAndBothComments) {
  RoutineRun run(Source({"unit Geometry;", "interface", "type", "TShape = class(TObject)",
                         "procedure Paint(X: Integer);", "end;", "{** Area of a circle. }",
                         "function CircleArea(R: Double): Double;", "function Version: Integer;",
                         "procedure Clear(AShape: TShape;", "  Deep: Boolean);", "implementation",
                         "{** Computes it. }", "function CircleArea(R: Double): Double;", "begin",
                         "end;", "end."}));
  ASSERT_EQ(run.Names(), (std::vector<std::string>{"CircleArea", "Version", "Clear"}));
  const TXMLNode* area = run.Routine(0);
  EXPECT_EQ(ChildNames(area), (std::vector<std::string>{"procDecl", "procComment", "longComment"}));
  EXPECT_EQ(Value(area, "procDecl"), "function CircleArea(R: Double): Double;");
  EXPECT_EQ(Value(area, "procComment"), "Area of a circle.");
  EXPECT_EQ(Value(area, "longComment"), "Computes it.");
  EXPECT_EQ(Value(run.Routine(1), "procComment"), "");
  EXPECT_EQ(Value(run.Routine(1), "longComment"), "");
  EXPECT_EQ(Value(run.Routine(2), "procDecl"), "procedure Clear(AShape: TShape;  Deep: Boolean);");
  std::vector<std::string> details;
  for (const auto& call : run.platform.progress) details.push_back(call.detail);
  EXPECT_EQ(details, (std::vector<std::string>{"CircleArea", "Version", "Clear"}));
}

struct NameCase {
  std::string heading;
  std::vector<std::string> names;
};

TEST(RoutinePass, WhichHeadingsAreRecordedAndTheirNames) {
  const NameCase cases[] = {
      {"function Version : Integer;", {"Version "}},  // not trimmed
      {"procedure Run (X: Integer);", {"Run "}},
      {"procedure Register;", {"Register"}},  // neither "(" nor ":"
      {"procedure Free; overload;", {"Free"}},
      {"Procedure Capital;", {}},
      {"function Scale(F: Double = 1.5): Double;", {}},  // "." on the line
      {"function Load(S: Classes.TStream): Boolean;", {}},
      {"procedure Go; // Starts it.", {}},
  };
  for (const NameCase& c : cases) {
    RoutineRun run(Source({"unit U;", "interface", c.heading, "implementation"}));
    EXPECT_EQ(run.Names(), c.names) << c.heading;
  }
}

TEST(RoutinePass, OverloadsAndImplementationMatching) {
  RoutineRun run(Source({"unit U;", "interface", "procedure Put(X: Integer); overload;",
                         "procedure Put(S: string); overload;", "implementation", "{** int }",
                         "procedure Put(X: Integer); overload;", "{** no directive }",
                         "procedure Put(S: string);", "end."}));
  ASSERT_EQ(run.Names(), (std::vector<std::string>{"Put", "Put"}));
  EXPECT_EQ(Value(run.Routine(0), "longComment"), "int");
  EXPECT_EQ(Value(run.Routine(1), "longComment"), "");  // the directive is part of the key
}

TEST(RoutinePass, ClassBodySkip) {
  RoutineRun run(Source({"unit U;",
                         "interface",
                         "type",
                         "TA = class",
                         "procedure InA;",
                         "end;",
                         "procedure AfterA;",
                         "TB = class",
                         "end;",
                         "TC = class",
                         "procedure InC;",  // taken for a free routine
                         "public",          // jumps to TC's end
                         "procedure Hidden;",
                         "end;",
                         "procedure Free1;",
                         "// a comment about class things",
                         "procedure Skipped;",
                         "x: Integer; end;",
                         "procedure Free2;",
                         "implementation"}));
  EXPECT_EQ(run.Names(), (std::vector<std::string>{"AfterA", "InC", "Free1", "Free2"}));
}

TEST(RoutinePass, CapitalImplementationScansOn) {
  RoutineRun run(Source({"unit U;", "interface", "procedure A;", "Implementation",
                         "procedure Helper;", "end.", "procedure After;"}));
  EXPECT_EQ(run.Names(), (std::vector<std::string>{"A", "Helper"}));
}

TEST(RoutinePass, HeadingOnTheLastLinesAndCancel) {
  RoutineRun last(Source({"interface", "procedure A;", "unit U;"}));  // "unit" on the last line
  EXPECT_TRUE(last.Names().empty());
  RoutineRun open(Source({"unit U;", "procedure A(X:", "Integer"}));  // never closed
  EXPECT_EQ(open.Names(), (std::vector<std::string>{"A"}));
  RoutineRun cancelled(Source({"unit U;", "procedure A;", "procedure B;", "procedure C;"}), 2);
  EXPECT_EQ(cancelled.Names(), (std::vector<std::string>{"A"}));
  EXPECT_TRUE(cancelled.parser.Cancelled());
}

}  // namespace
}  // namespace glossator
