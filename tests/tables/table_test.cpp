#include "tables/table.h"

#include <gtest/gtest.h>

#include <limits>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace locseq::tables {
namespace {

// One row of every type through both sinks: the CSV text, and the values
// kept as columns unchanged.
TEST(Table, EveryTypeAsCsvAndAsColumns) {
  const std::vector<ColumnHead> heads = {
      {"n", Type::integer}, {"x", Type::real}, {"name", Type::text}, {"ok", Type::logical}};
  const std::vector<std::vector<Field>> rows = {
      {std::int64_t{-3}, 0.1, std::string("A \"B\", C"), true},
      {Field(), Field(), Field(), Field()},
      {std::int64_t{7}, std::numeric_limits<double>::denorm_min(), std::string(), false},
      {std::int64_t{0}, 1e21, std::string("NA"), Field()},
  };
  std::ostringstream csv;
  CsvSink text(csv);
  TableKeeper kept;
  for (TableSink* sink : {static_cast<TableSink*>(&text), static_cast<TableSink*>(&kept)}) {
    sink->columns(heads);
    for (const auto& row : rows) sink->row(row);
  }
  EXPECT_EQ(csv.str(),
            "n,x,name,ok\n"
            "-3,0.1,\"A \"\"B\"\", C\",true\n"
            "NA,NA,NA,NA\n"
            "7,5e-324,\"\",false\n"
            "0,1e+21,\"NA\",NA\n");
  const Table& t = kept.table();
  ASSERT_EQ(t.rows(), rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    for (std::size_t k = 0; k < heads.size(); ++k) EXPECT_EQ(t.columns[k][i], rows[i][k]);
  }
}

// A row that does not fit its table is the writer's fault.
TEST(Table, KeeperRefusesRowsThatDoNotFit) {
  const std::vector<std::vector<Field>> bad = {
      {std::int64_t{1}},                        // too few fields
      {std::int64_t{1}, 2.0, std::int64_t{3}},  // too many
      {2.0, 2.0},                               // a real in an integer column
      {std::int64_t{1}, std::string("x")},      // a text in a real column
  };
  for (const auto& row : bad) {
    TableKeeper kept;
    kept.columns(std::vector<ColumnHead>{{"n", Type::integer}, {"x", Type::real}});
    EXPECT_THROW(kept.row(row), std::logic_error);
  }
}

}  // namespace
}  // namespace locseq::tables
