#include "formats/settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/input_error.h"
#include "support/hostile_names.h"

namespace locseq::formats::settings {
namespace {

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// Every value written reads back as it was, whatever it holds, with any of
// the three line ends; each setting stays on a line of its own.
TEST(SettingsFile, EveryValueReadsBackAsWritten) {
  std::vector<std::string> values = testing::hostile_names(17, 200, /*line_ends=*/true);
  for (const char* v : {"", " ", "a = b", "x # y", "#", "\"quoted\"", "mid\"quote",
                        "C:\\data\\x.csv", "ends in \\", "\\x41", "\x01\x7F", "\xFF\xFE not UTF-8",
                        "\xC3", "S\xC3\xA3o Paulo", "\t", "two\nlines\r\n", "= 5"}) {
    values.emplace_back(v);
  }
  Section section{"values", {}};
  for (std::size_t k = 0; k < values.size(); ++k) {
    section.settings.push_back({"value" + std::to_string(k), values[k], values[k]});
  }
  const std::string text = write({"head # with a hash", "\nh\xC3\xA9\xFF"}, {section});
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), static_cast<long>(values.size() + 4));
  EXPECT_EQ(text.find('\xFF'), std::string::npos) << "not UTF-8";
  for (const char* line_end : {"\n", "\r\n", "\r"}) {
    const File f = read(replaced(text, "\n", line_end), "J.settings");
    ASSERT_EQ(f.settings.size(), values.size());
    for (std::size_t k = 0; k < values.size(); ++k) {
      EXPECT_EQ(f.settings[k].value, values[k]) << k;
      EXPECT_EQ(f.settings[k].line, static_cast<long>(k + 5));
    }
    EXPECT_EQ(f.warnings.size(), values.size());  // keys this version does not know
  }
}

TEST(SettingsFile, ReadsKeysValuesAndComments) {
  const File f = read(
      "\xEF\xBB\xBF# written by hand\r\n"
      "\r\n"
      "   \t\n"
      "  groups\t=\t2   # the level\n"
      "standardize=yes#no blank before the comment\n"
      "table = \"a \\\"b\\\" #1\\x2E\\tcsv\"  # quoted\n"
      "year_column =\n"
      "location_column = Site  name\n",
      "J.settings");
  ASSERT_EQ(f.settings.size(), 5u);
  EXPECT_TRUE(f.warnings.empty());
  const struct {
    const char* key;
    const char* value;
    long line;
  } want[] = {{"groups", "2", 4},
              {"standardize", "yes", 5},
              {"table", "a \"b\" #1.\tcsv", 6},
              {"year_column", "", 7},
              {"location_column", "Site  name", 8}};
  for (const auto& w : want) {
    const Setting* s = f.find(w.key);
    ASSERT_NE(s, nullptr) << w.key;
    EXPECT_EQ(s->value, w.value);
    EXPECT_EQ(s->line, w.line) << w.key;
  }
  const RunSettings run = run_settings(f, "J.settings");
  EXPECT_EQ(run.groups, 2);
  EXPECT_EQ(run.groups_line, 4);
  EXPECT_EQ(run.standardize, true);
  EXPECT_EQ(run.standardize_line, 5);
  EXPECT_FALSE(run_settings(read("# nothing\n", "J.settings"), "J.settings").groups);
}

// An unknown key is a warning with its line (and the key meant, when it is
// only spelt otherwise); the file is read on.
TEST(SettingsFile, UnknownKeysAreWarnings) {
  const File f = read("colour = red\ngroups = 3\nMin-Share = 0.5\nGROUPS = 4\n", "J.settings");
  ASSERT_EQ(f.warnings.size(), 3u);
  EXPECT_EQ(f.warnings[0].line, 1);
  EXPECT_EQ(f.warnings[0].message, "unknown key 'colour' is ignored");
  EXPECT_EQ(f.warnings[1].line, 3);
  EXPECT_EQ(f.warnings[1].message, "unknown key 'Min-Share' is ignored (did you mean min_share?)");
  EXPECT_EQ(f.warnings[2].message, "unknown key 'GROUPS' is ignored (did you mean groups?)");
  EXPECT_EQ(run_settings(f, "J.settings").groups, 3);
}

TEST(SettingsFile, RefusesMalformedLinesAtTheirLine) {
  const struct {
    std::string text;
    long line;
    std::string word;  // in the message
  } cases[] = {
      {"groups 5\n", 1, "no '=' after the key 'groups'"},
      {"# c\n= 5\n", 2, "a key being letters"},
      {"2groups = 5\n", 1, "starting with a letter"},
      {"min share = 5\n", 1, "no '=' after the key 'min'"},
      {"table = \"open\n", 1, "not closed"},
      {"table = \"ends in \\\n", 1, "not closed"},
      {"table = \"a\\qb\"\n", 1, "unknown escape \\q"},
      {"table = \"a\\x4\"\n", 1, "two hex digits"},
      {"table = \"a\\xG1\"\n", 1, "two hex digits"},
      {"table = \"a\" b\n", 1, "text after the closing quote"},
      {"table = a\x01z\n", 1, "a control character (byte 1)"},
      {"table = \"a\x1B\"\n", 1, "a control character (byte 27)"},
      {"\ngroups = 5\r\ngroups = 6\r\n", 3, "groups is given twice, on lines 2 and 3"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    try {
      read(c.text, "J.settings");
      ADD_FAILURE() << "accepted";
    } catch (const InputError& e) {
      EXPECT_EQ(e.file(), "J.settings");
      EXPECT_EQ(e.line(), c.line);
      EXPECT_NE(e.message().find(c.word), std::string::npos) << e.message();
    }
  }
}

TEST(SettingsFile, RefusesValuesARunCannotTake) {
  const struct {
    std::string text;
    std::string word;
  } cases[] = {
      {"groups = 0", "groups must be a whole number from 1, not '0'"},
      {"groups = -2", "whole number"},
      {"groups = 2.5", "whole number"},
      {"groups = 99999999999", "whole number"},
      {"groups =", "not ''"},
      {"standardize = maybe", "standardize must be yes or no, not 'maybe'"},
      {"standardize = Yes", "yes or no"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    try {
      run_settings(read("# head\n" + c.text + "\n", "J.settings"), "J.settings");
      ADD_FAILURE() << "accepted";
    } catch (const InputError& e) {
      EXPECT_EQ(e.line(), 2);
      EXPECT_NE(e.message().find(c.word), std::string::npos) << e.message();
    }
  }
}

}  // namespace
}  // namespace locseq::formats::settings
