// Unit files with unusual bytes: binary data, NUL bytes, other line ends. The run documents what
// the loading rules make of them, or ends with a message naming the file; it never crashes.
#include <cstdint>

#include "program_run.h"

namespace glossator {
namespace {

using namespace testing_run;

class ContentTest : public ProgramTest {};

TEST_F(ContentTest, BinaryFilesEndWithPagesOrMessage) {
  // Bytes from a fixed generator, so that a failure can be reproduced.
  uint32_t state = 12345;
  auto next = [&state] {
    state = state * 1664525u + 1013904223u;
    return static_cast<char>(state >> 24);
  };
  for (int sample = 0; sample < 8; ++sample) {
    std::string bytes;
    for (int i = 0; i < 65536; ++i) bytes += next();
    // Half of them without NUL bytes, which would end the text early.
    if (sample % 2 == 1) {
      for (char& c : bytes) c = c == 0 ? '\x01' : c;
    }
    std::string path = Unit("blob" + std::to_string(sample) + ".pas", bytes).string();
    fs::remove_all(dir_ / "out");
    fs::create_directories(dir_ / "out");

    Outcome outcome = RunOn({path});

    if (outcome.status == 0) {
      for (const std::string& page : FixedPages()) {
        EXPECT_TRUE(fs::exists(dir_ / "out" / page)) << sample << " " << page;
      }
    } else {
      EXPECT_EQ(outcome.status, 1) << sample;
      // Warnings about the file may come first; the error that ended the run is the last line.
      size_t last = outcome.errors.rfind('\n', outcome.errors.size() - 2);
      last = last == std::string::npos ? 0 : last + 1;
      EXPECT_EQ(outcome.errors.compare(last, 11, "glossator: "), 0) << sample << outcome.errors;
      // Named: the unit being read, or the page that could not be made of its name.
      bool names_file = outcome.errors.find(path) != std::string::npos ||
                        outcome.errors.find((dir_ / "out").string() + "/") != std::string::npos;
      EXPECT_TRUE(names_file) << sample << outcome.errors;
    }
  }
}

TEST_F(ContentTest, NulByteEndsTheText) {
  fs::path unit =
      Unit("nul.pas", std::string("unit Cut;\r\ninterface\r\nconst\r\n  Kept = 1;\r\n") + '\0' +
                          "  Dropped = 2;\r\nprocedure Lost;\r\nimplementation\r\nend.\r\n");
  Outcome outcome = RunOn({unit.string()});
  ASSERT_EQ(outcome.status, 0) << outcome.errors;
  std::string constants = ReadAll(dir_ / "out" / "index-constant.html");
  EXPECT_NE(constants.find("Kept"), std::string::npos);
  EXPECT_EQ(constants.find("Dropped"), std::string::npos);
  EXPECT_EQ(ReadAll(dir_ / "out" / "index-function.html").find("Lost"), std::string::npos);
}

// The same unit with CR LF, lone CR and lone LF line ends documents to the same bytes.
TEST_F(ContentTest, LineEndsMakeNoDifference) {
  const std::string crlf =
      "{** The unit\r\n    over two lines. }\r\nunit Ends;\r\ninterface\r\ntype\r\n"
      "  {** A class. }\r\n  TEnds = class(TObject)\r\n  public\r\n    Count: Integer;\r\n"
      "    {** Runs it\r\n      @param Times how often }\r\n    procedure Run(Times:\r\n"
      "      Integer);\r\n  end;\r\n\r\n{** Makes one. }\r\nfunction Make: TEnds;\r\n"
      "const\r\n  Limit = 10;\r\nimplementation\r\n{** The long story. }\r\n"
      "procedure TEnds.Run(Times: Integer);\r\nbegin\r\nend;\r\nend.\r\n";
  struct Variant {
    const char* name;
    const char* line_end;
  };
  std::map<std::string, std::string> reference;
  for (const Variant& v : {Variant{"crlf", "\r\n"}, Variant{"cr", "\r"}, Variant{"lf", "\n"}}) {
    std::string text;
    for (size_t at = 0, end; at < crlf.size(); at = end + 2) {
      end = crlf.find("\r\n", at);
      text += crlf.substr(at, end - at) + v.line_end;
    }
    fs::path out = dir_ / v.name;
    fs::create_directories(out);
    // One file name for all three: the unit pages name their source file.
    fs::path unit = Unit(std::string(v.name) + "/ends.pas", text);
    Outcome outcome = RunOn({unit.string()}, out.string());
    ASSERT_EQ(outcome.status, 0) << v.name << outcome.errors;
    std::map<std::string, std::string> pages = Snapshot(out);
    if (reference.empty()) {
      reference = pages;
      EXPECT_TRUE(reference.count("TEnds.html"));
    } else {
      EXPECT_EQ(pages, reference) << v.name;
    }
  }
}

}  // namespace
}  // namespace glossator
