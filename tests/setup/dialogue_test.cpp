#include "setup/dialogue.h"

#include <gtest/gtest.h>

#include <string>

#include "support/memory_files.h"

namespace locseq {
namespace {

using testing::ConsoleIn;
using testing::fails_at;
using testing::OutFile;

const std::string kAskDefaults = " Do you wish default file names (Y or N)? - ";

TEST(DefaultFileNames, ExtensionFollowsTheLastNonBlankAsFarAsItFits) {
  const std::string j47(47, 'j'), j48(48, 'j'), j50(50, 'j');
  const std::pair<std::string, FileNames> cases[] = {
      {std::string("TRIAL").append(45, ' '),
       {"TRIAL.CLS", "TRIAL.NAQ", "TRIAL.SEQ", "TRIAL.SCO", "TRIAL.COS", "TRIAL.ALC"}},
      // All blank: the names are the extensions alone.
      {std::string(50, ' '), {".CLS", ".NAQ", ".SEQ", ".SCO", ".COS", ".ALC"}},
      {j48 + "  ", {j48 + ".C", j48 + ".N", j48 + ".S", j48 + ".S", j48 + ".C", j48 + ".A"}},
      {j50, {j50, j50, j50, j50, j50, j50}},
  };
  for (const auto& [job, names] : cases) EXPECT_EQ(default_file_names(job), names) << job;
  // Leading blanks stay; an inner blank and a tab are part of the name.
  EXPECT_EQ(default_file_names(std::string("  Job 7").append(43, ' '))[0], "  Job 7.CLS");
  EXPECT_EQ(default_file_names(std::string("A\t").append(48, ' '))[1], "A\t.NAQ");
  EXPECT_EQ(default_file_names(j47 + "   ")[3], j47 + ".SC");
}

FileNames ask(ConsoleIn& c, OutFile& screen) {
  return ask_file_names(c.reader, screen.unit);
}

TEST(Dialogue, YesInAnyFormThatStartsWithYAsksTheJobName) {
  // A name is the first fifty characters of its line, without the line end.
  for (std::string answer : {"Y", "y", "Yes", "yes please\r"}) {
    ConsoleIn c(answer + "\nTRIAL\r\n");
    OutFile screen("standard output");
    EXPECT_EQ(ask(c, screen)[2], "TRIAL.SEQ") << answer;
    EXPECT_EQ(screen.str(),
              kAskDefaults + " Enter job name (ie. name for files without extension)\n");
  }
  ConsoleIn c("Y\n" + std::string(50, 'n') + "tail never read\n");
  OutFile screen;
  EXPECT_EQ(ask(c, screen)[0], std::string(50, 'n'));
}

TEST(Dialogue, AnythingElseAsksTheSixNames) {
  for (std::string answer : {"N", " Y", "", "x", "\tY"}) {
    ConsoleIn c(answer + "\na.CLS\nb.NAQ\nc.SEQ\nd.SCO  \ne.COS\n  f.ALC");  // no last line end
    OutFile screen;
    EXPECT_EQ(ask(c, screen), (FileNames{"a.CLS", "b.NAQ", "c.SEQ", "d.SCO", "e.COS", "  f.ALC"}))
        << "answer '" << answer << "'";
    EXPECT_EQ(screen.str(), kAskDefaults + " Enter name of input file  (*.CLS) - " +
                                " Enter name of input file  (*.NAQ) - " +
                                " Enter name of input file  (*.SEQ) - " +
                                " Enter name of output file (*.SCO) - " +
                                " Enter name of output file (*.COS) - " +
                                " Enter name of output file (*.ALC) - ");
  }
}

TEST(Dialogue, EndOfConsoleInputAtAnyQuestionIsAnError) {
  const struct {
    const char* typed;
    long line;
    const char* question;
  } cases[] = {
      {"", 1, "Do you wish default file names (Y or N)?"},
      {"Y\n", 2, "Enter job name (ie. name for files without extension)"},
      {"N\n", 2, "Enter name of input file  (*.CLS)"},
      {"N\na\nb\nc\nd\ne\n", 7, "Enter name of output file (*.ALC)"},
  };
  for (const auto& c : cases) {
    ConsoleIn in(c.typed);
    OutFile screen;
    EXPECT_TRUE(fails_at([&] { ask(in, screen); }, c.line,
                         std::string("end of console input at the question '") + c.question + "'",
                         "standard input"))
        << c.typed;
  }
}

}  // namespace
}  // namespace locseq
