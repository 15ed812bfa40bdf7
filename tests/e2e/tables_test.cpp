// The CSV tables of `locseq run --tables DIR`, read back and checked
// against the fixed-layout reports of the same run: the blocks rebuilt
// from the tables, written by the report writers, must give the text of
// the reports, so every printed value is the table value rounded the
// printed way; NA stands exactly where a report prints a stand-in; the
// stability index of steps.csv is the one of the groups in groups.csv; the
// adjusted fit is its formula on the values of steps.csv and fit_by_year.csv;
// and the lineages of groups.csv and membership.csv are the best matching
// of each step's groups to the previous step's, found by trying every one.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/results.h"
#include "fit/allocation_report.h"
#include "fit/fit_report.h"
#include "records/record_writer.h"
#include "support/command_runner.h"

namespace locseq::testing {
namespace {

const fs::path kGolden = LOCSEQ_GOLDEN_DIR;
const fs::path kExamples = LOCSEQ_EXAMPLES_DIR;

// One field of a CSV row.
struct Field {
  std::string text;  // without quotes, doubled quotes made single
  bool quoted;       // it stood in double quotes
};
using CsvRow = std::vector<Field>;

// Reads CSV text with LF line ends, failing the test at anything else.
std::vector<CsvRow> parse_csv(const std::string& text, const std::string& name) {
  std::vector<CsvRow> rows;
  EXPECT_TRUE(text.empty() || text.back() == '\n') << name << " does not end its last line";
  EXPECT_EQ(text.find('\r'), std::string::npos) << name << " holds a carriage return";
  CsvRow row;
  Field field{"", false};
  std::size_t at = 0;
  while (at < text.size()) {
    if (text[at] == '"' && field.text.empty() && !field.quoted) {
      field.quoted = true;
      for (++at;; ++at) {
        if (at >= text.size()) {
          ADD_FAILURE() << name << ": a quoted field is not closed";
          return rows;
        }
        if (text[at] == '"' && at + 1 < text.size() && text[at + 1] == '"') {
          field.text += '"';
          ++at;
        } else if (text[at] == '"') {
          ++at;
          break;
        } else {
          field.text += text[at];
        }
      }
      EXPECT_TRUE(at < text.size() && (text[at] == ',' || text[at] == '\n'))
          << name << ": text after a closing quote at byte " << at;
      continue;
    }
    if (text[at] == ',' || text[at] == '\n') {
      row.push_back(field);
      field = {"", false};
      if (text[at] == '\n') {
        rows.push_back(row);
        row.clear();
      }
    } else {
      EXPECT_NE(text[at], '"') << name << ": a quote inside an unquoted field";
      field.text += text[at];
    }
    ++at;
  }
  return rows;
}

// A table: its header line and the rows after it. `kinds` has a letter per
// column: i an integer, n a number, r a number or NA, t a text.
struct Table {
  std::vector<CsvRow> rows;
  std::string kinds;
};

Table read_table(const fs::path& file, const std::string& header, const std::string& kinds) {
  const std::string text = read_file(file);
  const std::string name = file.filename().string();
  EXPECT_EQ(text.substr(0, header.size() + 1), header + "\n") << name;
  Table t{parse_csv(text.substr(text.find('\n') + 1), name), kinds};
  for (const CsvRow& row : t.rows) {
    if (row.size() != kinds.size()) {
      ADD_FAILURE() << name << ": a row of " << row.size() << " fields";
      t.rows.clear();
      break;
    }
    for (std::size_t k = 0; k < row.size(); ++k) {
      const Field& f = row[k];
      EXPECT_EQ(f.quoted, kinds[k] == 't') << name << " column " << k + 1 << ": " << f.text;
      if (kinds[k] == 'i') {
        std::int64_t v = 0;
        const auto [end, ec] = std::from_chars(f.text.data(), f.text.data() + f.text.size(), v);
        EXPECT_TRUE(ec == std::errc() && end == f.text.data() + f.text.size())
            << name << ": not an integer: " << f.text;
      } else if (kinds[k] == 'n' || (kinds[k] == 'r' && f.text != "NA")) {
        double v = 0;
        const auto [end, ec] = std::from_chars(f.text.data(), f.text.data() + f.text.size(), v);
        EXPECT_TRUE(ec == std::errc() && end == f.text.data() + f.text.size())
            << name << ": not a number: " << f.text;
        char shortest[64];
        const auto out = std::to_chars(shortest, shortest + sizeof shortest, v);
        EXPECT_EQ(std::string(shortest, out.ptr), f.text) << name << ": not the shortest text";
      }
    }
  }
  return t;
}

// The value of a field already checked; NA reads as the stand-in 0.
template <class T>
T value_of(const Field& f) {
  T v{};
  if (f.text != "NA") std::from_chars(f.text.data(), f.text.data() + f.text.size(), v);
  return v;
}
std::int32_t integer(const Field& f) {
  return value_of<std::int32_t>(f);
}
double number(const Field& f) {
  return value_of<double>(f);
}

// TSS, ESS, RSS, RSQ from four fields; NA marks an undefined RSQ.
FitSums sums(const CsvRow& row, std::size_t first) {
  return {number(row[first]), number(row[first + 1]), number(row[first + 2]),
          number(row[first + 3]), row[first + 3].text != "NA"};
}

// The blocks and location names the four tables describe.
struct Rebuilt {
  std::vector<BlockResult> blocks;
  std::vector<Name8> names;  // by location number - 1; blanks where none was named
};

Rebuilt rebuild(const Table& steps, const Table& years, const Table& groups,
                const Table& distances) {
  Rebuilt r;
  for (const CsvRow& row : steps.rows) {
    BlockResult b;
    b.StepNumber = integer(row[0]);
    b.SequenceYear = integer(row[1]);
    b.first_year = integer(row[3]);
    b.last_year = integer(row[4]);
    b.RetainedCount = integer(row[5]);
    b.CutLevel = integer(row[7]);
    b.fit[kClassified].overall = sums(row, 8);
    b.fit[kWithAllocated].overall = sums(row, 12);
    EXPECT_EQ(b.StepNumber, static_cast<std::int32_t>(r.blocks.size() + 1));
    r.blocks.push_back(b);
  }
  auto block = [&r](const CsvRow& row) -> BlockResult& {
    const auto k = static_cast<std::size_t>(integer(row[0]));
    if (k < 1 || k > r.blocks.size()) throw std::runtime_error("no step " + row[0].text);
    return r.blocks[k - 1];
  };
  auto name = [&r](std::int32_t location, const std::string& text) {
    const auto at = static_cast<std::size_t>(location);
    if (r.names.size() < at) r.names.resize(at, Name8{});
    Name8& n = r.names[at - 1];
    Name8 given;
    given.fill(' ');
    std::copy_n(text.begin(), std::min<std::size_t>(text.size(), 8), given.begin());
    EXPECT_TRUE(n == Name8{} || n == given) << "location " << location << " named twice";
    n = given;
  };
  for (const CsvRow& row : years.rows) {
    const int v = row[3].text == "classified" ? kClassified : kWithAllocated;
    EXPECT_TRUE(row[3].text == "classified" || row[3].text == "with_allocated") << row[3].text;
    block(row).fit[v].years.push_back({integer(row[1]), integer(row[4]), sums(row, 5)});
  }
  for (const CsvRow& row : groups.rows) {
    BlockResult& b = block(row);
    const auto k = static_cast<std::size_t>(integer(row[1]));
    EXPECT_TRUE(k == b.groups.size() || k == b.groups.size() + 1) << "group " << k;
    if (k > b.groups.size()) b.groups.push_back({integer(row[2]), {}, {}});
    EXPECT_EQ(b.groups.back().label, integer(row[2]));
    (row[5].text == "retained" ? b.groups.back().members : b.groups.back().allocated)
        .push_back(integer(row[3]));
    EXPECT_TRUE(row[5].text == "retained" || row[5].text == "allocated") << row[5].text;
    name(integer(row[3]), row[4].text);
  }
  for (const CsvRow& row : distances.rows) {
    BlockResult& b = block(row);
    const std::int32_t location = integer(row[1]);
    if (b.eliminated.empty() || b.eliminated.back().location != location) {
      b.eliminated.push_back({location, {}, {}, 0});
    }
    EliminatedLocation& e = b.eliminated.back();
    EXPECT_EQ(integer(row[3]), static_cast<std::int32_t>(e.cells.size() + 1));
    e.cells.push_back(integer(row[5]));
    e.mean_sed.push_back(number(row[4]));
    if (row[6].text == "1") e.group = integer(row[3]);
    name(location, row[2].text);
  }
  return r;
}

// Checks where NA stands, and the counts of steps.csv against the rows of
// the other tables.
void check_consistency(const Rebuilt& r, const Table& steps, const Table& years,
                       const Table& distances) {
  const double threshold = static_cast<double>(1.0E-6f);
  for (const CsvRow& row : steps.rows) {
    for (std::size_t tss : {8u, 12u}) {
      EXPECT_EQ(row[tss + 3].text == "NA", number(row[tss]) <= threshold)
          << "step " << row[0].text << ": RSQ " << row[tss + 3].text << " with TSS "
          << row[tss].text;
    }
  }
  for (const CsvRow& row : years.rows) {
    EXPECT_EQ(row[8].text == "NA", number(row[5]) <= 0.0)
        << "step " << row[0].text << " year " << row[1].text << ": RSQ " << row[8].text
        << " with TSS " << row[5].text;
    if (integer(row[4]) == 0) {
      EXPECT_EQ(row[8].text, "NA");
    }
  }
  for (const CsvRow& row : distances.rows) {
    EXPECT_EQ(row[4].text == "NA", integer(row[5]) == 0) << row[4].text << " of " << row[5].text;
  }
  for (std::size_t k = 0; k < r.blocks.size(); ++k) {
    const BlockResult& b = r.blocks[k];
    const CsvRow& row = steps.rows[k];
    std::int32_t retained = 0;
    for (const Group& g : b.groups) retained += static_cast<std::int32_t>(g.members.size());
    EXPECT_EQ(retained, b.RetainedCount) << "step " << k + 1;
    EXPECT_EQ(static_cast<std::int32_t>(b.groups.size()), b.CutLevel) << "step " << k + 1;
    EXPECT_EQ(std::to_string(b.eliminated.size()), row[6].text) << "step " << k + 1;
    for (const VariantFit& f : b.fit) {
      double tss = 0.0;
      std::int32_t year = b.first_year;
      for (const YearFit& y : f.years) {
        EXPECT_EQ(y.year, year++) << "step " << k + 1;
        tss += y.sums.TSS;
      }
      EXPECT_EQ(year, b.last_year + 1) << "step " << k + 1;
      EXPECT_EQ(tss, f.overall.TSS) << "step " << k + 1;
    }
  }
}

// The group of every location of a rebuilt block, retained or allocated.
std::map<std::int32_t, std::int32_t> group_of(const BlockResult& b) {
  std::map<std::int32_t, std::int32_t> out;
  for (std::size_t k = 0; k < b.groups.size(); ++k) {
    for (const auto* list : {&b.groups[k].members, &b.groups[k].allocated}) {
      for (const std::int32_t l : *list) out.emplace(l, static_cast<std::int32_t>(k + 1));
    }
  }
  return out;
}

// The adjusted Rand index of two steps' groups over the locations in a group
// in both, counted pair by pair: a pair together in both, b together before
// only, c together now only, d apart in both. None for fewer than two
// locations; for two trivial partitions, 1 when they are the same, else 0.
std::optional<double> pair_counted_ari(const BlockResult& before, const BlockResult& now) {
  const auto p = group_of(before), q = group_of(now);
  std::vector<std::pair<std::int32_t, std::int32_t>> shared;
  for (const auto& [l, g] : p) {
    if (q.count(l)) shared.emplace_back(g, q.at(l));
  }
  if (shared.size() < 2) return std::nullopt;
  double a = 0, b = 0, c = 0, d = 0;
  for (std::size_t i = 0; i < shared.size(); ++i) {
    for (std::size_t j = i + 1; j < shared.size(); ++j) {
      const bool x = shared[i].first == shared[j].first, y = shared[i].second == shared[j].second;
      (x && y ? a : x ? b : y ? c : d) += 1;
    }
  }
  const double denominator = (a + b) * (b + d) + (a + c) * (c + d);
  if (denominator == 0) return b == 0 && c == 0 ? 1.0 : 0.0;
  return 2 * (a * d - b * c) / denominator;
}

// stability_ari of steps.csv against the groups of groups.csv.
void check_stability(const Rebuilt& r, const Table& steps) {
  for (std::size_t k = 0; k < r.blocks.size(); ++k) {
    const Field& written = steps.rows[k][16];
    const auto expected = k == 0 ? std::nullopt : pair_counted_ari(r.blocks[k - 1], r.blocks[k]);
    if (!expected) {
      EXPECT_EQ(written.text, "NA") << "step " << k + 1;
    } else {
      EXPECT_NEAR(number(written), *expected, 1e-12) << "step " << k + 1 << ": " << written.text;
      EXPECT_NE(written.text, "NA") << "step " << k + 1;
    }
  }
}

// adj_rsq_* of steps.csv: 1 - (1 - RSQ) n / (n - k) with n the mean locmod
// of the variant's years with a present cell and k the groups; NA where RSQ
// is or where n <= k. singleton_groups: groups with one retained member.
void check_adjusted(const Rebuilt& r, const Table& steps) {
  for (std::size_t k = 0; k < r.blocks.size(); ++k) {
    const BlockResult& b = r.blocks[k];
    for (const Variant v : {kClassified, kWithAllocated}) {
      double located = 0, years = 0;
      for (const YearFit& y : b.fit[v].years) {
        if (y.LocMod > 0) located += y.LocMod, ++years;
      }
      const double n = years > 0 ? located / years : 0, groups = b.CutLevel;
      const FitSums& f = b.fit[v].overall;
      const Field& written = steps.rows[k][17 + static_cast<std::size_t>(v)];
      SCOPED_TRACE("step " + std::to_string(k + 1) + " variant " + std::to_string(v));
      if (!f.rsq_defined || n <= groups) {
        EXPECT_EQ(written.text, "NA");
      } else {
        EXPECT_DOUBLE_EQ(number(written), 1 - (1 - f.RSQ) * n / (n - groups));
      }
    }
    std::int32_t single = 0;
    for (const Group& g : b.groups) single += g.members.size() == 1;
    EXPECT_EQ(integer(steps.rows[k][19]), single) << "step " << k + 1;
  }
}

// The lineages of a step's groups, by trying every one-to-one matching of
// its groups to the previous step's that share a member: the most shared
// members, then the smallest list; unmatched groups numbered on from
// `largest`. Without a previous step, 1 to k.
std::vector<std::int32_t> best_lineages(const BlockResult* before,
                                        const std::vector<std::int32_t>& lineages,
                                        const BlockResult& now, std::int32_t largest) {
  const std::size_t rows = now.groups.size(), cols = before ? before->groups.size() : 0;
  std::vector<std::vector<int>> shared(rows, std::vector<int>(cols, 0));
  if (before) {
    const auto p = group_of(*before);
    for (const auto& [l, g] : group_of(now)) {
      if (p.count(l))
        ++shared[static_cast<std::size_t>(g - 1)][static_cast<std::size_t>(p.at(l) - 1)];
    }
  }
  std::vector<int> choice(rows, -1), best_choice;
  std::vector<char> taken(cols, 0);
  int best = -1;
  std::vector<std::int32_t> best_list;
  const auto visit = [&](auto& self, std::size_t g, int total) -> void {
    if (g == rows) {
      std::vector<std::int32_t> list;
      std::int32_t next = largest;
      for (const int c : choice)
        list.push_back(c < 0 ? ++next : lineages[static_cast<std::size_t>(c)]);
      if (total > best || (total == best && list < best_list)) best = total, best_list = list;
      return;
    }
    self(self, g + 1, total);
    for (std::size_t c = 0; c < cols; ++c) {
      if (taken[c] || shared[g][c] == 0) continue;
      taken[c] = 1, choice[g] = static_cast<int>(c);
      self(self, g + 1, total + shared[g][c]);
      taken[c] = 0, choice[g] = -1;
    }
  };
  visit(visit, 0, 0);
  return best_list;
}

// The lineage column of groups.csv (the same for every member of a group)
// against best_lineages, and membership.csv against groups.csv.
void check_lineages(const Rebuilt& r, const Table& groups, const Table& membership) {
  std::vector<std::vector<std::int32_t>> written(r.blocks.size());
  for (const CsvRow& row : groups.rows) {
    auto& lineages = written[static_cast<std::size_t>(integer(row[0]) - 1)];
    const auto k = static_cast<std::size_t>(integer(row[1]));
    if (lineages.size() < k) lineages.resize(k, 0);
    EXPECT_TRUE(lineages[k - 1] == 0 || lineages[k - 1] == integer(row[6]))
        << "step " << row[0].text;
    lineages[k - 1] = integer(row[6]);
  }
  std::int32_t largest = 0;
  for (std::size_t k = 0; k < r.blocks.size(); ++k) {
    const BlockResult& b = r.blocks[k];
    if (b.groups.size() > 7 || (k > 0 && r.blocks[k - 1].groups.size() > 7))
      continue;  // too many to try
    const auto expected =
        best_lineages(k ? &r.blocks[k - 1] : nullptr,
                      k ? written[k - 1] : std::vector<std::int32_t>(), b, largest);
    EXPECT_EQ(written[k], expected) << "step " << k + 1;
    for (const std::int32_t l : written[k]) largest = std::max(largest, l);
  }
  for (const CsvRow& row : membership.rows) {
    ASSERT_EQ(row.size(), r.blocks.size() + 2);
    for (std::size_t k = 0; k < r.blocks.size(); ++k) {
      const auto in = group_of(r.blocks[k]);
      const auto it = in.find(integer(row[0]));
      EXPECT_EQ(row[k + 2].text,
                it == in.end()
                    ? "NA"
                    : std::to_string(written[k][static_cast<std::size_t>(it->second - 1)]))
          << "location " << row[0].text << " step " << k + 1;
    }
  }
}

// What a report writer writes for a block.
template <class Write>
std::string written(Write write) {
  std::ostringstream text;
  records::Unit unit(text, "test");
  write(unit);
  unit.flush();
  return text.str();
}

// Passes when every piece stands in `report`, in order.
::testing::AssertionResult in_order(const std::vector<std::string>& pieces,
                                    const std::string& report) {
  std::size_t at = 0;
  for (std::size_t k = 0; k < pieces.size(); ++k) {
    const std::size_t found = report.find(pieces[k], at);
    if (found == std::string::npos) {
      return ::testing::AssertionFailure()
             << "piece " << k + 1 << " not found after byte " << at << ":\n"
             << pieces[k];
    }
    at = found + pieces[k].size();
  }
  return ::testing::AssertionSuccess();
}

struct TablesCase {
  std::string name;
  fs::path folder;                   // the job's files
  std::array<std::string, 3> files;  // .CLS, .NAQ, .SEQ
  std::vector<std::string> options;  // for run
};

void PrintTo(const TablesCase& c, std::ostream* os) {
  *os << c.name;
}

class Tables : public ::testing::TestWithParam<TablesCase> {};

TEST_P(Tables, HoldTheValuesOfTheReports) {
  const TablesCase& c = GetParam();
  ScratchFolder work;
  const char* const kinds[] = {"J.CLS", "J.NAQ", "J.SEQ"};
  for (int k = 0; k < 3; ++k) write_file(work.path() / kinds[k], read_file(c.folder / c.files[k]));
  std::vector<std::string> args = {"run", "J", "-q", "--tables", "out/tables"};
  args.insert(args.end(), c.options.begin(), c.options.end());
  const JobRun run = run_program(work.path(), args);
  ASSERT_EQ(run.status, 0) << run.error;

  const fs::path dir = work.path() / "out" / "tables";
  const Table steps = read_table(
      dir / "steps.csv",
      "step,sequence_year,sequence_year_name,first_year,last_year,retained,eliminated,groups,"
      "tss_classified,ess_classified,rss_classified,rsq_classified,tss_with_allocated,"
      "ess_with_allocated,rss_with_allocated,rsq_with_allocated,stability_ari,"
      "adj_rsq_classified,adj_rsq_with_allocated,singleton_groups",
      "iitiiiiinnnrnnnrrrri");
  const Table years = read_table(dir / "fit_by_year.csv",
                                 "step,year,year_name,variant,locmod,tss,ess,rss,rsq", "iittinnnr");
  const Table groups = read_table(
      dir / "groups.csv",
      "step,group,label,location,location_name,role,lineage,distance_to_centroid,representative",
      "iiiittirb");
  const Table distances =
      read_table(dir / "distances.csv",
                 "step,location,location_name,group,mean_sed,cells,nearest,margin", "iitiriir");
  ASSERT_FALSE(steps.rows.empty());
  std::string step_columns;
  for (std::size_t k = 1; k <= steps.rows.size(); ++k) step_columns += ",step_" + std::to_string(k);
  const Table membership =
      read_table(dir / "membership.csv", "location,location_name" + step_columns,
                 "it" + std::string(steps.rows.size(), 'r'));
  EXPECT_EQ(read_files(dir).size(), 5u);

  const Rebuilt r = rebuild(steps, years, groups, distances);
  check_consistency(r, steps, years, distances);
  check_stability(r, steps);
  check_adjusted(r, steps);
  check_lineages(r, groups, membership);
  for (const BlockResult& b : r.blocks) {  // what the writers index by
    for (const EliminatedLocation& e : b.eliminated) ASSERT_EQ(e.cells.size(), b.groups.size());
    for (const VariantFit& f : b.fit) ASSERT_FALSE(f.years.empty());
  }
  std::vector<std::string> cos, sco;
  std::string alc;
  for (const BlockResult& b : r.blocks) {
    cos.push_back(written([&](records::Unit& u) { write_allocation_cos(b, u); }));
    cos.push_back(written([&](records::Unit& u) { write_fit_cos(b, u); }));
    sco.push_back(written([&](records::Unit& u) { write_allocation_sco(b, r.names, u); }));
    sco.push_back(written([&](records::Unit& u) { write_fit_sco(b, u); }));
    alc += written([&](records::Unit& u) { write_allocation_alc(b, u); });
  }
  EXPECT_TRUE(in_order(cos, read_file(work.path() / "J.COS"))) << "J.COS";
  EXPECT_TRUE(in_order(sco, read_file(work.path() / "J.SCO"))) << "J.SCO";
  const std::string alc_report = read_file(work.path() / "J.ALC");  // a head record, then these
  EXPECT_EQ(alc_report.substr(alc_report.find('\n') + 1), alc);
}

TablesCase golden(const std::string& job, std::array<std::string, 3> files,
                  std::vector<std::string> options = {}) {
  std::string name = job.substr(job.find('-') + 1);
  std::replace(name.begin(), name.end(), '-', '_');
  return {name, kGolden / job / "case", std::move(files), std::move(options)};
}

const std::array<std::string, 3> kJob = {"JOB.CLS", "JOB.NAQ", "JOB.SEQ"};
const std::array<std::string, 3> kTrial = {"TRIAL.CLS", "TRIAL.NAQ", "TRIAL.SEQ"};

INSTANTIATE_TEST_SUITE_P(
    Jobs, Tables,
    ::testing::Values(TablesCase{"wheat", kExamples, {"WHEAT.CLS", "WHEAT.NAQ", "WHEAT.SEQ"}, {}},
                      golden("analysis-allocation", kJob),
                      golden("analysis-threshold", kJob, {"-g", "1"}),
                      golden("analysis-years", kJob, {"-g", "1"}),
                      golden("analysis-standardise", kJob, {"-g", "1", "-s"}),
                      golden("analysis-wide", kJob),
                      golden("analysis-edge-3", {"Run1.CLS", "Run1.NAQ", "Run1.SEQ"}),
                      golden("analysis-edge-6", {"TRIAL.cls", "TRIAL.naq", "TRIAL.seq"}),
                      golden("analysis-edge-8", {"x9.CLS", "x9.NAQ", "x9.SEQ"}),
                      golden("analysis-edge-11", {"  lead.CLS", "  lead.NAQ", "  lead.SEQ"}),
                      golden("analysis-medium-4", {"classif.dat", "names.txt", "obs.csv"}),
                      golden("analysis-medium-43", {"run.2.CLS", "run.2.NAQ", "run.2.SEQ"}),
                      golden("analysis-medium-50", {"Job 7.cls", "Job 7.naq", "Job 7.seq"}),
                      golden("analysis-small-4", kTrial)),
    [](const ::testing::TestParamInfo<TablesCase>& param) { return param.param.name; });

}  // namespace
}  // namespace locseq::testing
