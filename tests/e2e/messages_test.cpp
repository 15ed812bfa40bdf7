// Messages on standard error show bidirectional controls escaped, whatever
// path they take: a terminal would otherwise reorder the text after them.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/command_runner.h"

namespace locseq::testing {
namespace {

TEST(Messages, BidirectionalControlsAreShownEscapedOnStandardError) {
  const struct {
    const char* what;
    std::vector<std::string> args;
    std::string shows;
  } cases[] = {
      {"an unknown command",
       {"\xE2\x80\xAE"
        "dnammoc"},
       "'\\xE2\\x80\\xAEdnammoc'"},
      {"an unknown option", {"run", "J", "--b\xE2\x81\xA7"}, "--b\\xE2\\x81\\xA7"},
      {"a level that is not a number",
       {"run", "J", "-g",
        "\xE2\x80\x8F"
        "3"},
       "\\xE2\\x80\\x8F3"},
      {"a job that is missing", {"run", "\xE2\x81\xA6JOB"}, "\\xE2\\x81\\xA6JOB.CLS"},
      {"a table that is missing", {"import", "t\xD8\x9C.csv", "J"}, "t\\xD8\\x9C.csv"},
      {"a job to classify that is missing", {"classify", "\xE2\x80\xAAJ"}, "\\xE2\\x80\\xAAJ.NAQ"},
  };
  ScratchFolder work;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const JobRun r = run_program(work.path(), c.args);
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.error.find(c.shows), std::string::npos) << r.error;
    EXPECT_TRUE(std::all_of(r.error.begin(), r.error.end(),
                            [](char b) { return static_cast<unsigned char>(b) < 0x80; }))
        << "a raw byte of a control: " << r.error;
  }
}

}  // namespace
}  // namespace locseq::testing
