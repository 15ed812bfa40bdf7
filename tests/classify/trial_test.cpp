#include "classify/trial.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "core/input_error.h"
#include "support/warning_log.h"

namespace locseq::classify {
namespace {

using Size = std::optional<std::array<std::int32_t, 3>>;

const std::string kNaq =
    "From T.csv\n2 years, 3 locations, 2 genotypes\n1990\n1991\nNORTH\nSouthern Hills\n  "
    "C\nG1\nG2\n";
// The warning of its name longer than 8 characters.
const std::string kLongName = "T.NAQ:6 LongName; ";

Trial load(const std::string& naq, const std::string& seq, Size size = std::nullopt,
           testing::WarningLog* log = nullptr) {
  std::istringstream n(naq), s(seq);
  return load_trial(n, "T.NAQ", s, "T.SEQ", size, std::nullopt, log);
}

std::string name(const Name8& n) {
  return std::string(n.data(), n.size());
}

TEST(LoadTrial, ReadsAsTheRunReads) {
  const struct {
    const char* what;
    std::string naq, seq;
    Size size;
    std::function<void(const Trial&)> check;
    std::string warnings = "";  // as the run warns of them
  } cases[] = {
      {"sizes and names from .NAQ", kNaq, "1 1 1 5\n", std::nullopt,
       [](const Trial& t) {
         EXPECT_EQ(t.MAXY * 100 + t.MAXL * 10 + t.MAXG, 232);
         EXPECT_EQ(name(t.YearNames[1]), "1991    ");
         EXPECT_EQ(name(t.LocationNames[1]), "Southern");
         EXPECT_EQ(name(t.LocationNames[2]), "  C     ");
         EXPECT_TRUE(t.has_data(1));
         EXPECT_FALSE(t.has_data(2));
       },
       kLongName},
      {"sizes given, the second record unread, CRLF", "x\r\nnot sizes\r\nY1\r\nL1\r\nL2\r\nG1\r\n",
       "1 2 1 5\r\n", Size{{1, 2, 1}},
       [](const Trial& t) {
         EXPECT_EQ(name(t.LocationNames[1]), "L2      ");
         EXPECT_EQ(t.values(1)(2, 1), 5.0f);
       }},
      {"a later record replaces, blank lines pass", kNaq,
       "1 2 2 5\n\n1 1 1 3\n  \n1 2 2 7.5\n2 3 1 -1e2\n", std::nullopt,
       [](const Trial& t) {
         EXPECT_EQ(t.values(1)(2, 2), 7.5f);
         EXPECT_EQ(t.presence(1)(2, 2), 1);
         EXPECT_EQ(t.presence(1)(2, 1), 0);
         EXPECT_EQ(t.values(2)(3, 1), -100.0f);
       },
       kLongName},
      {"an earlier year after a later one is skipped, before its cell is checked", kNaq,
       "2 1 1 5\n1 1 1 3\n1 9 1 3\n2 2 2 4\n", std::nullopt,
       [](const Trial& t) {
         EXPECT_FALSE(t.has_data(1));
         EXPECT_EQ(t.presence(2)(2, 2), 1);
       },
       kLongName + "T.SEQ:2 OutOfOrder; T.SEQ:3 OutOfOrder; "},
      {"a last record cut short is dropped", kNaq, "1 1 1 5\n1 2 1\n\n", std::nullopt,
       [](const Trial& t) { EXPECT_EQ(t.presence(1)(2, 1), 0); },
       kLongName + "T.SEQ:2 ShortLastRecord; "},
      {"more numbers than four", kNaq, "1 1 1 5,5\n", std::nullopt,
       [](const Trial& t) { EXPECT_EQ(t.values(1)(1, 1), 5.0f); },
       kLongName + "T.SEQ:1 ExtraNumbers; "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    testing::WarningLog log;
    c.check(load(c.naq, c.seq, c.size, &log));
    EXPECT_EQ(log.text, c.warnings);
  }
}

TEST(LoadTrial, Errors) {
  const struct {
    std::string naq, seq;
    Size size;
    const char* file;
    long line;
    const char* word;
  } cases[] = {
      {"x\n2 years, 3 locations\n", "", std::nullopt, "T.NAQ", 2, "--size Y,L,G"},
      {"x\n", "", std::nullopt, "T.NAQ", 2, "the file ends inside the first two records"},
      {kNaq, "", Size{{1, 0, 2}}, "T.NAQ", 0, "at least 1"},
      {"x\n1 years, 100000 locations, 100000 genotypes\n", "", std::nullopt, "T.NAQ", 2,
       "cells a year"},
      {kNaq.substr(0, kNaq.find("1991")), "", std::nullopt, "T.NAQ", 4, "the file ends"},
      {kNaq, "1 1 1 5\n1 4 1 5\n", std::nullopt, "T.SEQ", 2, "location 4 is outside 1 to MAXL (3)"},
      {kNaq, "1 1 3 5\n", std::nullopt, "T.SEQ", 1, "genotype 3"},
      {kNaq, "\n3 1 1 5\n", std::nullopt, "T.SEQ", 2, "year 3"},
      {kNaq, "0 1 1 5\n", std::nullopt, "T.SEQ", 1, "year 0"},
      {kNaq, "1 1 1 5\n1 1 2\n1 2 1 4\n", std::nullopt, "T.SEQ", 2, "fewer than four"},
      {kNaq, "1 1 1 x\n", std::nullopt, "T.SEQ", 1, "'x'"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.seq.empty() ? c.naq : c.seq);
    try {
      load(c.naq, c.seq, c.size);
      ADD_FAILURE() << "no error";
    } catch (const InputError& e) {
      EXPECT_EQ(e.file(), c.file);
      EXPECT_EQ(e.line(), c.line);
      EXPECT_NE(e.message().find(c.word), std::string::npos) << e.message();
    }
  }
}

}  // namespace
}  // namespace locseq::classify
