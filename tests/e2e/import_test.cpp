// `locseq import` and `locseq classify` as commands: from the example's
// long table to a job that runs and checks clean, files never replaced
// without --force, and every option reaching what it controls.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/command_runner.h"
#include "support/compare.h"

namespace locseq::testing {
namespace {

using Args = std::vector<std::string>;

const fs::path kExamples = LOCSEQ_EXAMPLES_DIR;

bool holds(const std::string& s, const std::string& part) {
  return s.find(part) != std::string::npos;
}

std::string line(const std::string& text, std::size_t n) {
  const std::vector<std::string> lines = lines_of(text);
  return n <= lines.size() ? lines[n - 1] : "";
}

TEST(ImportCommand, MakesTheExampleJobFromItsTable) {
  ScratchFolder work;
  copy_files(kExamples, work.path());
  const auto run = [&](const Args& args) { return run_program(work.path(), args); };

  JobRun r = run({"import", "wheat.csv", "W"});
  ASSERT_EQ(r.status, 0) << r.error;
  EXPECT_TRUE(holds(r.console, "locseq: wheat.csv: 6 years, 20 locations, 13 genotypes\n"));
  for (const char* name : {"W.NAQ", "W.SEQ", "W.names.csv", "W.CLS"}) {
    EXPECT_TRUE(fs::exists(work.path() / name)) << name;
  }
  r = run({"run", "W", "-q"});
  EXPECT_EQ(r.status, 0) << r.error;
  EXPECT_TRUE(r.error.empty()) << r.error;
  r = run({"check", "W"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.console, "locseq check W: 0 errors, 0 warnings\n");
  EXPECT_EQ(r.error, "");

  // The imported values are exactly the example's: with the example's
  // classification the run writes the example's reports.
  r = run({"import", "wheat.csv", "V", "--no-classify"});
  ASSERT_EQ(r.status, 0) << r.error;
  EXPECT_FALSE(fs::exists(work.path() / "V.CLS"));
  write_file(work.path() / "V.CLS", read_file(work.path() / "WHEAT.CLS"));
  ASSERT_EQ(run({"run", "V", "-q"}).status, 0);
  ASSERT_EQ(run({"run", "WHEAT", "-q"}).status, 0);
  for (const char* kind : {".SCO", ".COS", ".ALC"}) {
    EXPECT_TRUE(same_text(read_file(work.path() / (std::string("WHEAT") + kind)),
                          read_file(work.path() / (std::string("V") + kind))))
        << kind;
  }
}

TEST(ImportCommand, NeverReplacesAJobWithoutForce) {
  ScratchFolder work;
  copy_files(kExamples, work.path());
  ASSERT_EQ(run_program(work.path(), {"import", "wheat.csv", "W"}).status, 0);
  const auto before = tree(work.path());
  JobRun r = run_program(work.path(), {"import", "wheat.csv", "W"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.error.rfind("locseq: W.NAQ: ", 0), 0u) << r.error;
  EXPECT_TRUE(holds(r.error, "--force")) << r.error;
  EXPECT_EQ(changes(before, tree(work.path())), "");

  // One file of the job there already is enough to stop the import.
  fs::remove(work.path() / "W.NAQ");
  fs::remove(work.path() / "W.SEQ");
  fs::remove(work.path() / "W.names.csv");
  const auto only_cls = tree(work.path());
  r = run_program(work.path(), {"import", "wheat.csv", "W"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.error.rfind("locseq: W.CLS: ", 0), 0u) << r.error;
  EXPECT_EQ(changes(only_cls, tree(work.path())), "");

  r = run_program(work.path(), {"import", "wheat.csv", "W", "--force"});
  EXPECT_EQ(r.status, 0) << r.error;
  EXPECT_EQ(changes(before, tree(work.path())), "");  // the same files again
}

TEST(ClassifyCommand, WritesTheClassificationImportMakes) {
  ScratchFolder work;
  copy_files(kExamples, work.path());
  ASSERT_EQ(run_program(work.path(), {"import", "wheat.csv", "W"}).status, 0);
  ASSERT_EQ(run_program(work.path(), {"import", "wheat.csv", "V", "--no-classify"}).status, 0);
  // The same classification, titled after the job, not the table.
  std::string cls = read_file(work.path() / "W.CLS");
  ASSERT_EQ(line(cls, 2), "wheat: 6 seasons, pairwise Ward");
  cls.replace(cls.find("wheat: "), 7, "V: ");

  JobRun r = run_program(work.path(), {"classify", "V", "--cls", "other.CLS"});
  EXPECT_EQ(r.status, 0) << r.error;
  EXPECT_EQ(read_file(work.path() / "other.CLS"), cls);
  EXPECT_FALSE(fs::exists(work.path() / "V.CLS"));
  // Its settings beside it: those of the import but the import's own.
  const auto body = [](const std::string& text) {
    const std::size_t from = text.find("\n\nversion = ");
    return text.substr(from, text.find("\n# The import") - from);
  };
  EXPECT_EQ(body(read_file(work.path() / "other.settings")),
            body(read_file(work.path() / "W.settings")));

  write_file(work.path() / "other.CLS", "an earlier classification\n");
  r = run_program(work.path(), {"classify", "V", "--cls", "other.CLS"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.error.rfind("locseq: other.CLS: ", 0), 0u) << r.error;
  EXPECT_EQ(read_file(work.path() / "other.CLS"), "an earlier classification\n");
  r = run_program(work.path(), {"classify", "V", "--cls", "other.CLS", "--force"});
  EXPECT_EQ(r.status, 0) << r.error;
  EXPECT_EQ(read_file(work.path() / "other.CLS"), cls);

  // A .NAQ made elsewhere: the sizes come from the job's .CLS or --size.
  r = run_program(work.path(), {"classify", "WHEAT", "--cls", "a.CLS"});
  EXPECT_EQ(r.status, 0) << r.error;
  fs::remove(work.path() / "WHEAT.CLS");
  r = run_program(work.path(), {"classify", "WHEAT", "--cls", "b.CLS"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(holds(r.error, "--size")) << r.error;
  r = run_program(work.path(), {"classify", "WHEAT", "--cls", "b.CLS", "--size", "6,20,13"});
  EXPECT_EQ(r.status, 0) << r.error;
  EXPECT_EQ(read_file(work.path() / "b.CLS"), read_file(work.path() / "a.CLS"));
  r = run_program(work.path(), {"classify", "WHEAT", "--cls", "c.CLS", "--size", "6,20"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.error.rfind("locseq: --size: ", 0), 0u) << r.error;
}

// An import of a small table: what it must write, or the error it must
// stop at.
struct TableCase {
  std::string name;
  std::string table;  // t.csv
  Args options;       // after "import t.csv J --no-classify"
  std::string seq;    // J.SEQ, or empty for a failed import
  std::string shows;  // in J.NAQ or J.names.csv; or in the error
};

TEST(ImportCommand, TableOptionsReachTheReader) {
  const std::string semicolons =
      "\xEF\xBB\xBF\"Year\";\"Site\";\"Entry\";\"Yield\"\r\n2019;\"Dubbo, NSW\";G1;5,3\r\n"
      "2019;\"Dubbo, NSW\";G2;4,75\r\n2019;Moree;G1;NA\r\n2019;Moree;G2;3,25\r\n"
      "2020;\"Dubbo, NSW\";G1;6\r\n2020;Moree;G2;2,5\r\n";
  const std::string semicolons_seq = "1 1 1 5.3\n1 1 2 4.75\n1 2 2 3.25\n2 1 1 6\n2 2 2 2.5\n";
  const std::string german = "Jahr,Ort,Sorte,Ertrag,Notiz\n2019,A,G,1.5,x\n2020,A,G,2,y\n";
  const std::string replicated =
      "year,location,genotype,value\n1,LocationA1,G,1\n1,LocationA2,G,2\n1,LocationA1,G,4\n";
  const TableCase cases[] = {
      {"bom, crlf, semicolons, decimal commas, quoted commas",
       semicolons,
       {},
       semicolons_seq,
       "\"location\",1,\"Dubbo, N\",\"Dubbo, NSW\""},
      {"--delimiter ;", semicolons, {"--delimiter", ";"}, semicolons_seq, "Dubbo, N"},
      {"--delimiter , on a ; table", semicolons, {"--delimiter", ","}, "", "t.csv:1: "},
      {"--delimiter tab",
       "year\tloc\tgen\tvalue\n1\tA, B\tG\t1.25\n",
       {"--delimiter", "tab"},
       "1 1 1 1.25\n",
       "A, B"},
      {"columns not found", german, {}, "", "no year column"},
      {"columns named",
       german,
       {"--year", "Jahr", "--location", "Ort", "--genotype", "Sorte", "--value", "Ertrag"},
       "1 1 1 1.5\n2 1 1 2\n",
       "2020"},
      {"replicates", replicated, {"--rename"}, "", "lines 2 and 4"},
      {"names clash when cut", replicated, {"--replicates", "mean"}, "", "Location"},
      {"--replicates mean --rename",
       replicated,
       {"--replicates", "mean", "--rename"},
       "1 1 1 2.5\n1 2 1 2\n",
       "Locati~1"},
  };
  for (const TableCase& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchFolder work;
    write_file(work.path() / "t.csv", c.table);
    Args args = {"import", "t.csv", "J", "--no-classify"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const JobRun r = run_program(work.path(), args);
    if (c.seq.empty()) {
      EXPECT_EQ(r.status, 1);
      EXPECT_EQ(r.error.rfind("locseq: ", 0), 0u) << r.error;
      EXPECT_TRUE(holds(r.error, c.shows)) << r.error;
      EXPECT_EQ(read_files(work.path()).size(), 1u) << "a failed import wrote a file";
      continue;
    }
    EXPECT_EQ(r.status, 0) << r.error;
    EXPECT_EQ(read_file(work.path() / "J.SEQ"), c.seq);
    EXPECT_TRUE(
        holds(read_file(work.path() / "J.NAQ") + read_file(work.path() / "J.names.csv"), c.shows));
  }
}

TEST(ImportCommand, ClassifyOptionsReachTheClassification) {
  const struct {
    Args options;          // after "import wheat.csv J"
    std::size_t line;      // of J.CLS
    std::string cls_line;  // what it must be
    std::string shows;     // on standard output
    std::string setting;   // a line of J.settings
  } cases[] = {
      {{},
       2,
       "wheat: 6 seasons, pairwise Ward",
       "6 steps, data years 1 to 6, cut into 5 groups",
       "groups = 5  # the square-root rule"},
      {{"--proximity", "complete"},
       2,
       "wheat: 4 seasons, complete Ward",
       "4 steps, data years 1 to 4, cut into 5 groups",
       "proximity = complete"},
      {{}, 3, "     U     S     C     N", "", "standardize = no"},
      {{"--sed", "standardized"}, 3, "     U     S     S     N", "", "standardize = yes"},
      {{"--title", "Wheat, imported"}, 2, "Wheat, imported", "", "table = wheat.csv"},
      {{"-g", "3", "--proximity", "complete"},
       1,
       "6 20 13 1 5",
       "5 steps, data years 1 to 5, cut into 3 groups",
       "last_year = 5  # 2023"},
      {{"-g", "3"},
       1,
       "6 20 13 1 6",
       "6 steps, data years 1 to 6, cut into 3 groups",
       "groups = 3"},
      {{"--min-years", "1"}, 1, "6 20 13 1 4", "4 steps", "min_years = 1"},
      {{"--min-cells", "12"}, 6, "8", "6 steps", "min_cells = 12"},
      {{"-g", "4", "--first-year", "3"}, 5, "     3    2021", "", "first_year = 3  # 2021"},
      {{"--groups", "4", "--first-year", "2020", "--last-year", "2022"},
       4,
       "   2   4",
       "3 steps, data years 2 to 4, cut into 4 groups",
       "last_year = 4  # 2022"},
      {{"-g", "4", "--first-year", "3"}, 1, "6 20 13 3 6", "data years 3 to", "groups = 4"},
      {{"--min-share", "0.5"}, 2, "wheat: 6 seasons, pairwise Ward", "6 steps", "min_share = 0.5"},
      {{"--replicates", "mean", "--rename", "--delimiter", ","},
       2,
       "wheat: 6 seasons, pairwise Ward",
       "",
       "replicates = mean\nyear_column = year\nlocation_column = location\ngenotype_column = "
       "genotype\nvalue_column = yield\nrename = yes"},
  };
  for (const auto& c : cases) {
    std::string shown;
    for (const std::string& a : c.options) shown += a + " ";
    SCOPED_TRACE(shown);
    ScratchFolder work;
    write_file(work.path() / "wheat.csv", read_file(kExamples / "wheat.csv"));
    Args args = {"import", "wheat.csv", "J"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const JobRun r = run_program(work.path(), args);
    ASSERT_EQ(r.status, 0) << r.error;
    EXPECT_EQ(line(read_file(work.path() / "J.CLS"), c.line), c.cls_line);
    EXPECT_TRUE(holds(r.console, c.shows)) << r.console;
    const std::string settings = read_file(work.path() / "J.settings");
    EXPECT_TRUE(holds(settings, "\n" + c.setting + "\n")) << settings;
  }
}

}  // namespace
}  // namespace locseq::testing
