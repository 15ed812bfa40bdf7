#include "classify/trial.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "core/input_error.h"

namespace locseq::classify {
namespace {

using Size = std::optional<std::array<std::int32_t, 3>>;

const std::string kNaq =
    "From T.csv\n2 years, 3 locations, 2 genotypes\n1990\n1991\nNORTH\nSouthern Hills\n  "
    "C\nG1\nG2\n";

Trial load(const std::string& naq, const std::string& seq, Size size = std::nullopt) {
  std::istringstream n(naq), s(seq);
  return load_trial(n, "T.NAQ", s, "T.SEQ", size);
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
  } cases[] = {
      {"sizes and names from .NAQ", kNaq, "1 1 1 5\n", std::nullopt,
       [](const Trial& t) {
         EXPECT_EQ(t.MAXY * 100 + t.MAXL * 10 + t.MAXG, 232);
         EXPECT_EQ(name(t.YearNames[1]), "1991    ");
         EXPECT_EQ(name(t.LocationNames[1]), "Southern");
         EXPECT_EQ(name(t.LocationNames[2]), "  C     ");
         EXPECT_TRUE(t.has_data(1));
         EXPECT_FALSE(t.has_data(2));
       }},
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
         EXPECT_TRUE(t.warnings.empty());
       }},
      {"an earlier year after a later one is passed over", kNaq,
       "2 1 1 5\n1 1 1 3\n1 2 1 3\n2 2 2 4\n", std::nullopt,
       [](const Trial& t) {
         EXPECT_FALSE(t.has_data(1));
         EXPECT_EQ(t.presence(2)(2, 2), 1);
         ASSERT_EQ(t.warnings.size(), 1u);
         EXPECT_NE(
             t.warnings[0].find("line 2: a record of year 1 after records of year 2 (and 1 more"),
             std::string::npos)
             << t.warnings[0];
       }},
      {"a last record cut short is dropped", kNaq, "1 1 1 5\n1 2 1\n\n", std::nullopt,
       [](const Trial& t) {
         EXPECT_EQ(t.presence(1)(2, 1), 0);
         ASSERT_EQ(t.warnings.size(), 1u);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    c.check(load(c.naq, c.seq, c.size));
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
