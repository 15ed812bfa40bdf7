// `locseq import` and `locseq classify` as commands: from the example's
// long table to a job that runs and checks clean, files never replaced
// without --force, and every option reaching what it controls.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>
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
  std::string table;    // t.csv
  Args options;         // after "import t.csv J --no-classify"
  std::string seq;      // J.SEQ, or empty for a failed import
  std::string shows;    // in J.NAQ or J.names.csv; or in the error
  std::string warns{};  // in the warnings of an import that succeeds
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
  const std::string cp1252 = "year,loc,gen,value\n1,Zurich,g,1\n1,Z\xFCrich,g,2\n";
  const std::string spelled = "year,location,genotype,value\n1,COLUSA,g,1\n1,colusa,h,2\n";
  const std::string wide_table = "year,genotype,Moree,notes,Dubbo\n2019,G1,1.5,late,2\n";
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
      {"a Windows-1252 table",
       cp1252,
       {},
       "",
       "t.csv:3: the table is not UTF-8: byte 4 of the line"},
      {"--encoding cp1252",
       cp1252,
       {"--encoding", "cp1252"},
       "1 1 1 1\n1 2 1 2\n",
       "\"location\",2,\"Z\xC3\xBCrich\",\"Z\xC3\xBCrich\""},
      {"n/a without --na", "year,loc,gen,value\n1,a,g,n/a\n", {}, "", "add --na 'n/a'"},
      {"--na n/a --na=-99",
       "year,loc,gen,value\n1,a,g,n/a\n1,a,h,-99\n1,a,i,2\n",
       {"--na", "n/a", "--na=-99"},
       "1 1 3 2\n",
       "\"i\""},
      {"1.250 beside 4,75",
       "year;loc;gen;value\n1;a;g;1.250\n1;a;h;4,75\n",
       {},
       "",
       "t.csv:2: the value '1.250' (column 4 'value') is written with a decimal point, but line 3"},
      {"--decimal comma in a tab table",
       "year\tloc\tgen\tvalue\n1\ta\tg\t4,75\n",
       {"--decimal", "comma"},
       "1 1 1 4.75\n",
       "\"a\""},
      {"spellings warned",
       spelled,
       {},
       "1 1 1 1\n1 2 2 2\n",
       "\"location\",2,\"colusa\"",
       "locseq: t.csv:3: warning: the location names 'COLUSA' (line 2) and 'colusa' (line 3)"},
      {"--fold-names", spelled, {"--fold-names"}, "1 1 1 1\n1 1 2 2\n", "\"genotype\",2,\"h\""},
      {"looks wide", wide_table, {}, "", "use --wide location"},
      {"--wide location --ignore notes",
       wide_table,
       {"--wide", "location", "--ignore", "notes"},
       "1 1 1 1.5\n1 2 1 2\n",
       "\"location\",2,\"Dubbo\""},
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
    EXPECT_TRUE(c.warns.empty() ? r.error.empty() : holds(r.error, c.warns)) << r.error;
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
       "year_column = year\nlocation_column = location\ngenotype_column = genotype\nvalue_column "
       "= yield\nrename = yes\nencoding = utf-8\ndecimal = auto\nfold_names = no\nwide = "
       "no\nreplicates = mean"},
      {{"--na", "n/a", "--na", "?", "--fold-names", "--decimal", "point"},
       2,
       "wheat: 6 seasons, pairwise Ward",
       "",
       "encoding = utf-8\nna = n/a\nna = ?\ndecimal = point\nfold_names = yes\nwide = no"},
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

// The example's table turned wide, a column per location (in the order
// the locations first appear, the genotypes' rows in theirs), makes the job
// its long form makes, to the byte.
TEST(ImportCommand, AWideTableIsItsLongForm) {
  const std::vector<std::string> rows = lines_of(read_file(kExamples / "wheat.csv"));
  std::vector<std::string> locations, genotypes, years;
  std::map<std::string, std::string> values;  // year,genotype,location -> value
  const auto add = [](std::vector<std::string>& list, const std::string& name) {
    if (std::find(list.begin(), list.end(), name) == list.end()) list.push_back(name);
  };
  for (std::size_t k = 1; k < rows.size(); ++k) {
    std::vector<std::string> f;
    std::stringstream fields(rows[k]);
    for (std::string field; std::getline(fields, field, ',');) f.push_back(field);
    ASSERT_EQ(f.size(), 4u) << rows[k];
    add(years, f[0]);
    add(locations, f[1]);
    add(genotypes, f[2]);
    values[f[0] + "," + f[2] + "," + f[1]] = f[3];
  }
  std::string wide = "Year,Variety";
  for (const std::string& l : locations) wide += "," + l;
  wide += "\n";
  for (const std::string& y : years) {
    for (const std::string& g : genotypes) {
      wide += y + "," + g;
      for (const std::string& l : locations) {
        const auto v = values.find(y + "," + g + "," + l);
        wide.append(",").append(v == values.end() ? std::string("NA") : v->second);
      }
      wide += "\n";
    }
  }
  ScratchFolder work;
  write_file(work.path() / "wheat.csv", read_file(kExamples / "wheat.csv"));
  fs::create_directory(work.path() / "wide");
  write_file(work.path() / "wide" / "wheat.csv", wide);
  JobRun r = run_program(work.path(), {"import", "wheat.csv", "L", "--no-classify"});
  ASSERT_EQ(r.status, 0) << r.error;
  r = run_program(work.path() / "wide",
                  {"import", "wheat.csv", "W", "--no-classify", "--wide", "location"});
  ASSERT_EQ(r.status, 0) << r.error;
  for (const char* kind : {".SEQ", ".NAQ", ".names.csv"}) {
    EXPECT_TRUE(same_text(read_file(work.path() / (std::string("L") + kind)),
                          read_file(work.path() / "wide" / (std::string("W") + kind))))
        << kind;
  }
}

// A .NAQ made by hand with Latin-1 names: the reports keep its bytes, the
// tables and the page show them as \xHH, and one warning says so.
TEST(ImportCommand, NamesThatAreNotUtf8ReachNoTableAndNoPage) {
  ScratchFolder work;
  copy_files(kExamples, work.path());
  std::string naq = read_file(work.path() / "WHEAT.NAQ");
  for (const auto& [from, to] :
       {std::pair<std::string, std::string>{"\nARMIDALE\n", "\nZ\xFCrich\n"},
        {"\nBEGA\n", "\nS\xE3o Pau\n"}}) {
    ASSERT_NE(naq.find(from), std::string::npos) << from;
    naq.replace(naq.find(from), from.size(), to);
  }
  write_file(work.path() / "WHEAT.NAQ", naq);
  write_file(work.path() / "WHEAT.names.csv",
             "kind,number,name,full_name\n\"location\",1,\"Z\xFCrich\",\"Z\xFCrich am See\"\n");
  JobRun plain = run_program(work.path(), {"run", "WHEAT", "-q", "-o", "plain"});
  ASSERT_EQ(plain.status, 0) << plain.error;
  EXPECT_EQ(plain.error, "");
  JobRun r =
      run_program(work.path(), {"run", "WHEAT", "-q", "--tables", "t", "--report", "p.html"});
  ASSERT_EQ(r.status, 0) << r.error;
  EXPECT_EQ(r.error,
            "locseq: WHEAT.names.csv: warning: the full name of location 1, 'Z\\xFCrich am See', "
            "holds bytes that are not UTF-8; the page shows each such byte as \\xHH\n"
            "locseq: WHEAT.NAQ:9: warning: the name of location 1, 'Z\\xFCrich', holds bytes that "
            "are not UTF-8 (2 names in all); the tables and the page show each such byte as "
            "\\xHH\n");
  for (const char* kind : {".SCO", ".COS", ".ALC"}) {
    EXPECT_EQ(read_file(work.path() / (std::string("WHEAT") + kind)),
              read_file(work.path() / (std::string("plain") + kind)))
        << kind;
  }
  EXPECT_TRUE(holds(read_file(work.path() / "WHEAT.SCO") + read_file(work.path() / "WHEAT.ALC"),
                    "S\xE3o Pau"));
  const std::string groups = read_file(work.path() / "t" / "groups.csv");
  EXPECT_TRUE(holds(groups, "\"Z\\xFCrich\"")) << groups;
  EXPECT_TRUE(holds(groups, "\"S\\xE3o Pau\""));
  const std::string page = read_file(work.path() / "p.html");
  EXPECT_TRUE(holds(page, "Z\\xFCrich am See"));
  for (const fs::path& f : {work.path() / "p.html", work.path() / "t" / "groups.csv",
                            work.path() / "t" / "steps.csv", work.path() / "t" / "distances.csv"}) {
    EXPECT_EQ(read_file(f).find_first_of(std::string("\xFC\xE3", 2)), std::string::npos) << f;
  }
}

}  // namespace
}  // namespace locseq::testing
