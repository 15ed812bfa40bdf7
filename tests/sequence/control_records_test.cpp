#include "sequence/control_records.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/arrays.h"
#include "support/memory_files.h"

namespace locseq {
namespace {

TEST(WriteNames, TenNamesToARecord) {
  std::vector<Name8> names;
  for (int k = 1; k <= 11; ++k) names.push_back(testing::name8("Year" + std::to_string(k)));
  testing::OutFile sco;
  write_names(names, sco.unit);
  write_names(std::span(names).first(3), sco.unit);
  EXPECT_EQ(sco.str(),
            " Year1   Year2   Year3   Year4   Year5   Year6   Year7   Year8   Year9   Year10  \n"
            " Year11  \n"
            " Year1   Year2   Year3   \n");
}

}  // namespace
}  // namespace locseq
