#include "sequence/control_records.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "core/input_error.h"
#include "formats/cls.h"
#include "formats/naq.h"
#include "sequence/hierarchy.h"

namespace locseq {

namespace {

using records::Layout;
using records::Value;

// The console's and the reports' records; .COS copies the control records
// of .CLS as formats::cls writes them.
constexpr Layout kEmpty("()");
constexpr Layout kLine("(A)");
constexpr Layout kJobIs("(' Job is ',A50)");
constexpr Layout kTitleCopy("(A50)");
constexpr Layout kOptionLines(
    "(' Weighted (W) or unweighted (U) analysis (WEIGHT) ',A1,/,"
    "' SED (S) or COR (C) measure              (PRXTYP) ',A1,/,"
    "' Centered (C) or standardized (S) SED    (SEDTYP) ',A1,/,"
    "' Normal (N) or Z (Z) average correlation (CORTYP) ',A1)");
constexpr Layout kSequenceYears("(' Sequence starts in year ',I3,' & finishes in year ',I3)");
constexpr Layout kForYear("(/,'   For year ',A8)");
constexpr Layout kHierarchyEcho("(3X,I4,1X,'+',I4,1X,'=',I4,1X,F10.3)");
constexpr Layout kNames("(1X,10A8)");

std::string_view text(const char* s, std::size_t n) {
  return {s, n};
}

}  // namespace

void ReadJobNames(const NameLists& names, Units& u, RunHead& head) {
  progress(u, " Read and write job names");
  formats::naq::read_name_lists(u.naq, names);
  head.YearNames.assign(names.YearNames.span().begin(), names.YearNames.span().end());
  head.LocationNames.assign(names.LocationNames.span().begin(), names.LocationNames.span().end());
  head.GenotypeNames.assign(names.GenotypeNames.span().begin(), names.GenotypeNames.span().end());
  write_names(head.YearNames, u.sco);
  write_names(head.LocationNames, u.sco);
  write_names(head.GenotypeNames, u.sco);
  u.sco.write(kEmpty);
}

void write_names(std::span<const Name8> names, records::Unit& sco) {
  std::vector<Value> values;
  values.reserve(names.size());
  for (const Name8& name : names) values.emplace_back(std::string_view(name.data(), name.size()));
  sco.write(kNames, values);
}

void ReadJobControl(Units& u, Questions& q, RunHead& head, ClsLines& at) {
  head.JobTitle = formats::cls::read_title(u.cls);
  to_console_and_sco(u, records::format(kJobIs, {std::string_view(head.JobTitle)}));
  u.cos.write(kTitleCopy, {std::string_view(head.JobTitle)});

  const std::array<char, 4>& o = head.options = formats::cls::read_options(u.cls);
  to_console_and_sco(u, records::format(kOptionLines, {text(&o[0], 1), text(&o[1], 1),
                                                       text(&o[2], 1), text(&o[3], 1)}));
  u.cos.put(formats::cls::options_record(o));

  const formats::cls::SequenceYears years = formats::cls::read_sequence_years(u.cls);
  head.IYS = years.IYS;
  head.IYF = years.IYF;
  at.years = u.cls.line();
  u.sco.write(kEmpty);
  to_console_and_sco(u, records::format(kSequenceYears, {head.IYS, head.IYF}));
  u.cos.put(formats::cls::sequence_years_record(years));

  head.standardise = false;
  if (head.options[2] == 'S') {
    u.console.write(kLine, {"  Data was originally standadized"});
    head.standardise = q.standardise_again();
  }
  progress(u, " For each year");
}

bool ReadBlockHeader(Units& u, BlockResult& block, ClsLines& at) {
  formats::cls::BlockHeader header;
  if (!formats::cls::read_block_header(u.cls, header)) return false;
  block.SequenceYear = header.SequenceYear;
  block.SequenceYearName = header.SequenceYearName;
  at.header = u.cls.line();
  const std::string_view name(block.SequenceYearName.data(), block.SequenceYearName.size());
  to_console_and_sco(u, records::format(kForYear, {name}));
  u.cos.put(formats::cls::block_header_record(header));
  return true;
}

void ReadBlockBody(Grouping& g, std::int32_t NGP, Units& u, BlockResult& block, ClsLines& at) {
  const std::string name = "block " + std::to_string(block.StepNumber);
  const long MAXL = g.EliminationVector.size();

  progress(u, "   Read number of locations retained in year");
  const std::int32_t n = formats::cls::read_retained_count(u.cls, block.StepNumber);
  at.count = u.cls.line();
  u.cos.put(formats::cls::integer_records({&n, 1}));

  progress(u, "   Read elimination vector");
  const std::span<std::int32_t> vector = g.EliminationVector.span();
  formats::cls::read_elimination_vector(u.cls, vector, block.StepNumber);
  u.cos.put(formats::cls::integer_records(vector));

  const std::string shown = std::to_string(n);
  if (n > MAXL) {
    u.cls.fail_at(at.count, name + ": the retained count " + shown + " is above MAXL (" +
                                std::to_string(MAXL) + ")");
  }
  const auto ones = std::count(vector.begin(), vector.end(), 1);
  if (n != ones) {
    u.cls.fail_at(at.count, name + ": the retained count " + shown + " differs from the " +
                                std::to_string(ones) + " entries 1 of its elimination vector");
  }
  if (n <= NGP) {
    u.cls.fail_at(at.count, name + ": " + shown + " retained location" + (n == 1 ? "" : "s") +
                                " cannot be cut into " + std::to_string(NGP) + " groups (NGP)");
  }
  g.RetainedCount = n;
  g.CutLevel = n > NGP ? NGP : 1;
  block.RetainedCount = n;
  block.CutLevel = g.CutLevel;
  block.EliminationVector.assign(vector.begin(), vector.end());

  u.console.write(kLine, {"   Write hierarchy"});
  u.sco.write(kLine, {" Hierarchy"});
  u.sco.write(kLine, {"    Gpi + Gpj = Gpij     D(ij)"});
  for (std::int32_t r = 1; r <= n - 1; ++r) {
    const HierarchyRecord h =
        formats::cls::read_hierarchy_record(u.cls, block.StepNumber, r, n - 1);
    if (r == 1) at.hierarchy = u.cls.line();
    g.FusionPairs(1, r) = h.Gpi;
    g.FusionPairs(2, r) = h.Gpj;
    block.hierarchy.push_back(h);
    std::string echo = records::format(kHierarchyEcho, {h.Gpi, h.Gpj, h.Gpij, h.D});
    u.sco.put(echo);
    u.cos.put(echo);
  }
}

void WarnEmptyBlock(const records::FileReader& cls, long header, const BlockResult& block,
                    const std::string& seq_name) {
  cls.warn_at(header, Warning::EmptyBlock,
              "block " + std::to_string(block.StepNumber) + ": its data years " +
                  std::to_string(block.first_year) + " to " + std::to_string(block.last_year) +
                  " hold no observation in " + seq_name +
                  " (data years are numbered from 1, not by the calendar)");
}

void CutBlock(Grouping& g, const RunHead& head, Units& u, BlockResult& block, const ClsLines& at) {
  progress(u, "   Calculate group membership");
  try {
    CutHierarchy(g);
  } catch (const BadFusion& bad) {
    u.cls.fail_at(at.hierarchy + bad.record - 1,
                  "hierarchy record " + std::to_string(bad.record) + " of block " +
                      std::to_string(block.StepNumber) + " cannot be applied: " + bad.why);
  }
  // The passes read data years IYS to IYS+k-1, each a row of the tables.
  const std::int64_t last = std::int64_t{head.IYS} + block.StepNumber - 1;
  if (head.IYS < 1) {
    u.cls.fail_at(at.years, "the sequence starts in year " + std::to_string(head.IYS) +
                                ", but data years are numbered from 1");
  }
  if (last > head.parameters.MAXY) {
    u.cls.fail_at(at.header, "block " + std::to_string(block.StepNumber) + " needs data years " +
                                 std::to_string(head.IYS) + " to " + std::to_string(last) +
                                 ", beyond MAXY (" + std::to_string(head.parameters.MAXY) + ")");
  }
  block.first_year = head.IYS;
  block.last_year = static_cast<std::int32_t>(last);
}

}  // namespace locseq
