#include "setup/dialogue.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "core/input_error.h"

namespace locseq {
namespace {

struct Console {
  explicit Console(const std::string& typed)
      : in(typed), answers(in, "standard input", records::RecordReader::Mode::Line) {}
  FileNames ask() { return ask_file_names(answers, screen); }

  std::istringstream in;
  records::RecordReader answers;
  std::ostringstream out;
  records::Unit screen{out, "standard output"};
};

const std::string kAskDefaults = " Do you wish default file names (Y or N)? - ";
const std::string kAskJob = " Enter job name (ie. name for files without extension)\n";

TEST(DefaultFileNames, ExtensionFollowsTheLastNonBlank) {
  EXPECT_EQ(
      default_file_names(std::string("TRIAL").append(45, ' ')),
      (FileNames{"TRIAL.CLS", "TRIAL.NAQ", "TRIAL.SEQ", "TRIAL.SCO", "TRIAL.COS", "TRIAL.ALC"}));
  // Leading blanks stay; an inner blank is part of the name.
  EXPECT_EQ(default_file_names(std::string("  Job 7").append(43, ' '))[0], "  Job 7.CLS");
  // All blank: the names are the extensions alone.
  EXPECT_EQ(default_file_names(std::string(50, ' ')),
            (FileNames{".CLS", ".NAQ", ".SEQ", ".SCO", ".COS", ".ALC"}));
}

TEST(DefaultFileNames, LongJobNamesLeaveRoomForPartOfTheExtension) {
  const std::string j47(47, 'j'), j48(48, 'j'), j50(50, 'j');
  EXPECT_EQ(default_file_names(j47 + "   ")[3], j47 + ".SC");
  EXPECT_EQ(default_file_names(j48 + "  "),
            (FileNames{j48 + ".C", j48 + ".N", j48 + ".S", j48 + ".S", j48 + ".C", j48 + ".A"}));
  EXPECT_EQ(default_file_names(j50), (FileNames{j50, j50, j50, j50, j50, j50}));
  // A tab is not a blank: it stays in the name.
  EXPECT_EQ(default_file_names(std::string("A\t").append(48, ' '))[1], "A\t.NAQ");
}

TEST(Dialogue, YesInAnyFormThatStartsWithY) {
  for (std::string answer : {"Y", "y", "Yes", "yes please"}) {
    Console c(answer + "\nTRIAL\n");
    EXPECT_EQ(c.ask()[2], "TRIAL.SEQ") << answer;
    EXPECT_EQ(c.out.str(), kAskDefaults + kAskJob) << answer;
  }
}

TEST(Dialogue, AnythingElseAsksTheSixNamesAndNeverTheJobName) {
  for (std::string answer : {"N", " Y", "", "x", "\tY"}) {
    Console c(answer + "\na.CLS\nb.NAQ\nc.SEQ\nd.SCO  \ne.COS\n  f.ALC\n");
    EXPECT_EQ(c.ask(), (FileNames{"a.CLS", "b.NAQ", "c.SEQ", "d.SCO", "e.COS", "  f.ALC"}))
        << "answer '" << answer << "'";
    EXPECT_EQ(c.out.str(), kAskDefaults + " Enter name of input file  (*.CLS) - " +
                               " Enter name of input file  (*.NAQ) - " +
                               " Enter name of input file  (*.SEQ) - " +
                               " Enter name of output file (*.SCO) - " +
                               " Enter name of output file (*.COS) - " +
                               " Enter name of output file (*.ALC) - ");
  }
}

TEST(Dialogue, NamesAreTheFirstFiftyCharactersOfTheirLine) {
  const std::string long_name = std::string(50, 'n') + "tail never read";
  Console c("Y\n" + long_name + "\n");
  EXPECT_EQ(c.ask()[0], std::string(50, 'n'));
  // A CRLF line end is no part of the answer.
  Console crlf("y\r\nTRIAL\r\n");
  EXPECT_EQ(crlf.ask()[5], "TRIAL.ALC");
}

TEST(Dialogue, EndOfConsoleInputAtAnyQuestionIsAnError) {
  const std::string typed[] = {"", "Y\n", "N\n", "N\na\nb\nc\nd\ne\n"};
  for (const std::string& t : typed) {
    Console c(t);
    try {
      c.ask();
      ADD_FAILURE() << "no error after '" << t << "'";
    } catch (const InputError& e) {
      EXPECT_EQ(e.file(), "standard input");
      EXPECT_NE(e.message().find("end of console input"), std::string::npos) << e.message();
    }
  }
  // The last line needs no line end.
  Console c("Y\nTRIAL");
  EXPECT_EQ(c.ask()[0], "TRIAL.CLS");
}

}  // namespace
}  // namespace locseq
