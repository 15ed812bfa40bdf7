#include "import/recorded_options.h"

#include <gtest/gtest.h>

namespace locseq::import {
namespace {

// Every option written and read back is the same option again.
TEST(RecordedOptions, ReadBackAsWritten) {
  ImportOptions given;
  given.encoding = formats::text::Encoding::Latin1;
  given.na = {"n/a", "#N/A", "", "a \"quoted\" = text # not a comment"};
  given.decimal = DecimalMark::Comma;
  given.fold_names = true;
  given.wide = Wide::Genotype;
  given.ignore = {"notes", "Notes, too"};
  given.replicates_mean = true;
  for (const ImportOptions& o : {ImportOptions{}, given}) {
    const std::vector<Setting> settings = recorded_options(o);
    ImportOptions back;
    for (const auto& [key, value] : settings) {
      EXPECT_TRUE(is_import_key(key)) << key;
      EXPECT_TRUE(apply_recorded_option(back, key, value)) << key << " = " << value;
    }
    EXPECT_EQ(recorded_options(back), settings);
  }
  EXPECT_EQ(recorded_options({}), (std::vector<Setting>{{"encoding", "utf-8"},
                                                        {"decimal", "auto"},
                                                        {"fold_names", "no"},
                                                        {"wide", "no"},
                                                        {"replicates", "error"}}));
}

TEST(RecordedOptions, RefusesWhatNoOptionTakes) {
  const std::pair<const char*, const char*> cases[] = {
      {"encoding", "utf-16"}, {"decimal", "dot"},    {"fold_names", "true"},
      {"wide", "year"},       {"replicates", "sum"}, {"delimiter", ";"},
  };
  for (auto [key, value] : cases) {
    ImportOptions o;
    EXPECT_FALSE(apply_recorded_option(o, key, value)) << key << " = " << value;
    EXPECT_EQ(recorded_options(o), recorded_options({}));
  }
}

}  // namespace
}  // namespace locseq::import
