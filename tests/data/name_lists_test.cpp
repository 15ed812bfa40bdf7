#include "data/name_lists.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "core/input_error.h"

namespace locseq {
namespace {

// A .NAQ file in memory, read as the driver does: the two head records are
// passed over first.
struct NaqFile {
  NaqFile(const std::string& text, std::int32_t maxy, std::int32_t maxl, std::int32_t maxg)
      : in(text),
        naq(in, "JOB.NAQ"),
        sco(sco_out, "JOB.SCO"),
        MAXY(maxy),
        MAXL(maxl),
        MAXG(maxg),
        years(static_cast<std::size_t>(maxy)),
        locations(static_cast<std::size_t>(maxl)),
        genotypes(static_cast<std::size_t>(maxg)) {}

  void read() {
    std::string_view skipped;
    naq.next(skipped);
    naq.next(skipped);
    ReadNameLists(Vec<Name8>(years.data(), MAXY), Vec<Name8>(locations.data(), MAXL),
                  Vec<Name8>(genotypes.data(), MAXG), MAXY, MAXL, MAXG, naq, sco);
  }

  static std::string str(const Name8& name) { return {name.data(), name.size()}; }

  std::istringstream in;
  records::RecordReader naq;
  std::ostringstream sco_out;
  records::Unit sco;
  std::int32_t MAXY, MAXL, MAXG;
  std::vector<Name8> years, locations, genotypes;
};

// `count` records "<prefix>1", "<prefix>2", ...
std::string numbered(const std::string& prefix, int count) {
  std::string out;
  for (int k = 1; k <= count; ++k) out += prefix + std::to_string(k) + "\n";
  return out;
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(ReadNameLists, NamesAreTheFirstEightColumnsBlankPadded) {
  NaqFile f(
      "title\nsecond\n"
      "\nAB\nABCDEFGHIJKL\n  lead\nEXACTLY8\nCR\r\n\tT\nA B  C\n",
      2, 4, 2);
  f.read();
  EXPECT_EQ(NaqFile::str(f.years[0]), "        ");
  EXPECT_EQ(NaqFile::str(f.years[1]), "AB      ");
  EXPECT_EQ(NaqFile::str(f.locations[0]), "ABCDEFGH");
  EXPECT_EQ(NaqFile::str(f.locations[1]), "  lead  ");
  EXPECT_EQ(NaqFile::str(f.locations[2]), "EXACTLY8");
  EXPECT_EQ(NaqFile::str(f.locations[3]), "CR      ");
  EXPECT_EQ(NaqFile::str(f.genotypes[0]), "\tT      ");
  EXPECT_EQ(NaqFile::str(f.genotypes[1]), "A B  C  ");
}

TEST(ReadNameLists, HeadRecordsAndRecordsAfterTheLastNameAreNotRead) {
  const std::string names = numbered("Y", 3) + numbered("L", 25) + numbered("G", 7);
  NaqFile a("one\ntwo\n" + names + "never\nread\n", 3, 25, 7);
  NaqFile b("1 2 3 4 5 6 7 8 9 10\n\n" + names, 3, 25, 7);
  a.read();
  b.read();
  EXPECT_EQ(a.naq.line(), 37);  // names from records 3 to 37
  EXPECT_EQ(a.sco_out.str(), b.sco_out.str());
  EXPECT_EQ(NaqFile::str(a.years[0]), "Y1      ");
  EXPECT_EQ(NaqFile::str(a.locations[24]), "L25     ");
  EXPECT_EQ(NaqFile::str(a.genotypes[6]), "G7      ");

  const std::vector<std::string> echo = lines_of(a.sco_out.str());
  ASSERT_EQ(echo.size(), 5u);  // 1 + 3 + 1
  EXPECT_EQ(echo[0], " Y1      Y2      Y3      ");
  EXPECT_EQ(echo[1].substr(0, 17), " L1      L2      ");
  EXPECT_EQ(echo[1].size(), 81u);
  EXPECT_EQ(echo[2].substr(0, 9), " L11     ");
  EXPECT_EQ(echo[2].size(), 81u);
  EXPECT_EQ(echo[3], " L21     L22     L23     L24     L25     ");
  EXPECT_EQ(echo[4], " G1      G2      G3      G4      G5      G6      G7      ");
}

TEST(ReadNameLists, TenNamesFillALineAndTheEleventhStartsAnother) {
  NaqFile f("\n\n" + numbered("Year", 11) + numbered("Loc", 10) + "g\n", 11, 10, 1);
  f.read();
  EXPECT_EQ(f.sco_out.str(),
            " Year1   Year2   Year3   Year4   Year5   Year6   Year7   Year8   Year9   Year10  \n"
            " Year11  \n"
            " Loc1    Loc2    Loc3    Loc4    Loc5    Loc6    Loc7    Loc8    Loc9    Loc10   \n"
            " g       \n");
}

TEST(ReadNameLists, FileEndingBeforeTheLastNameNamesNaqAndTheMissingRecord) {
  // MAXY 2, MAXL 2, MAXG 2 need 8 records; each file lacks from record 7 on.
  for (const char* text : {"h1\nh2\nY1\nY2\nL1\nL2\n", "h1\nh2\nY1\nY2\nL1\nL2"}) {
    NaqFile f(text, 2, 2, 2);
    try {
      f.read();
      ADD_FAILURE() << "short .NAQ accepted";
    } catch (const InputError& e) {
      EXPECT_EQ(e.file(), "JOB.NAQ");
      EXPECT_EQ(e.line(), 7);
    }
    EXPECT_EQ(f.sco_out.str(), "");  // the echo comes only after the last name
  }
  NaqFile g("h1\nh2\nY1\n", 2, 2, 2);
  try {
    g.read();
    ADD_FAILURE() << "short .NAQ accepted";
  } catch (const InputError& e) {
    EXPECT_EQ(e.line(), 4);
  }
}

}  // namespace
}  // namespace locseq
