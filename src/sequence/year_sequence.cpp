#include "sequence/year_sequence.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "data/centring.h"
#include "data/name_lists.h"
#include "data/year_reader.h"
#include "fit/allocation.h"
#include "fit/model_fit.h"
#include "fit/overall_fit.h"
#include "groups/group_means.h"
#include "groups/sed.h"
#include "records/field_reader.h"
#include "sequence/hierarchy.h"
#include "setup/dialogue.h"

namespace locseq {

namespace {

using records::Layout;
using records::Target;
using records::Value;

constexpr Layout kSkipTwo("(/)");
constexpr Layout kEmpty("()");
constexpr Layout kTitle("(A)");
constexpr Layout kJobIs("(' Job is ',A50)");
constexpr Layout kTitleCopy("(A50)");
constexpr Layout kOptions("(4(5X,A1))");
constexpr Layout kOptionLines(
    "(' Weighted (W) or unweighted (U) analysis (WEIGHT) ',A1,/,"
    "' SED (S) or COR (C) measure              (PRXTYP) ',A1,/,"
    "' Centered (C) or standardized (S) SED    (SEDTYP) ',A1,/,"
    "' Normal (N) or Z (Z) average correlation (CORTYP) ',A1)");
constexpr Layout kIntegers("(30I4)");
constexpr Layout kSequenceYears("(' Sequence starts in year ',I3,' & finishes in year ',I3)");
constexpr Layout kYearRecord("(I6,4X,A8)");
constexpr Layout kForYear("(/,'   For year ',A8)");
constexpr Layout kForSedYear("(/,'   For year ',A8,' in SED sequence for year',I4)");
constexpr Layout kForModfitYear("(/,'   For year ',A8,' in MODFIT sequence for year',I4)");
constexpr Layout kHierarchyRecord("(3X,I4,2X,I4,2X,I4,1X,F10.3)");
constexpr Layout kHierarchyEcho("(3X,I4,1X,'+',I4,1X,'=',I4,1X,F10.3)");
constexpr Layout kLine("(A)");

std::string_view text(const char* s, std::size_t n) {
  return {s, n};
}

// The driver's own values.
struct Block {
  std::int32_t StepNumber = 0;    // k, the ordinal of the block
  std::int32_t SequenceYear = 0;  // from the block header; only printed
  std::array<char, 8> SequenceYearName{};
  std::int32_t RetainedCount = 0;
  std::int32_t CutLevel = 0;
  long header_line = 0;     // .CLS line of the header
  long count_line = 0;      // .CLS line of the retained count
  long hierarchy_line = 0;  // .CLS line of the first hierarchy record
};

// Reads and echoes the retained count, the elimination vector and the
// hierarchy records of a block, and checks that they agree.
void read_block(const Arrays& a, const RunParameters& p, Units& u, Block& b) {
  const std::string block = "block " + std::to_string(b.StepNumber);

  progress(u, "   Read number of locations retained in year");
  std::array<std::int32_t, 1> count{};
  records::read_free_integers(u.cls, count, "the retained count of " + block);
  b.RetainedCount = count[0];
  b.count_line = u.cls.line();
  u.cos.write(kIntegers, {b.RetainedCount});
  b.CutLevel = b.RetainedCount > p.NGP ? p.NGP : 1;

  progress(u, "   Read elimination vector");
  records::read_free_integers(u.cls, a.EliminationVector.span(),
                              "the elimination vector of " + block);
  std::vector<Value> values(a.EliminationVector.span().begin(), a.EliminationVector.span().end());
  u.cos.write(kIntegers, values);

  const auto ones =
      std::count(a.EliminationVector.span().begin(), a.EliminationVector.span().end(), 1);
  const std::string n = std::to_string(b.RetainedCount);
  if (b.RetainedCount > p.MAXL) {
    u.cls.fail_at(b.count_line, block + ": the retained count " + n + " is above MAXL (" +
                                    std::to_string(p.MAXL) + ")");
  }
  if (b.RetainedCount != ones) {
    u.cls.fail_at(b.count_line, block + ": the retained count " + n + " differs from the " +
                                    std::to_string(ones) + " entries 1 of its elimination vector");
  }
  if (b.RetainedCount <= p.NGP) {
    u.cls.fail_at(b.count_line, block + ": " + n + " retained location" +
                                    (b.RetainedCount == 1 ? "" : "s") + " cannot be cut into " +
                                    std::to_string(p.NGP) + " groups (NGP)");
  }

  u.console.write(kLine, {"   Write hierarchy"});
  u.sco.write(kLine, {" Hierarchy"});
  u.sco.write(kLine, {"    Gpi + Gpj = Gpij     D(ij)"});
  for (std::int32_t r = 1; r <= b.RetainedCount - 1; ++r) {
    std::int32_t gi = 0, gj = 0, gij = 0;
    float d = 0.0f;
    const std::array<Target, 4> fields = {gi, gj, gij, d};
    const std::string what = "hierarchy record " + std::to_string(r) + " of " + block;
    if (!records::read_fields(u.cls, kHierarchyRecord, fields, what)) {
      u.cls.fail_at(u.cls.line() + 1, "the file ends before " + what + " (" +
                                          std::to_string(b.RetainedCount - 1) + " expected)");
    }
    if (r == 1) b.hierarchy_line = u.cls.line();
    a.FusionPairs(1, r) = gi;
    a.FusionPairs(2, r) = gj;
    std::string echo = records::format(kHierarchyEcho, {gi, gj, gij, d});
    u.sco.put(echo);
    u.cos.put(echo);
  }
}

// One year of a pass: read, centre, standardise when asked, group means.
void prepare_year(const Arrays& a, const RunParameters& p, Units& u, std::int32_t y,
                  bool standardise, const char* standardise_line) {
  progress(u, "   Read data and calculate incidence matrix");
  ReadYear(a.YearData, a.IncidenceMatrix, y, p.MAXL, p.MAXG, u.seq, u.console, u.sco);
  progress(u, "   Location centre the years data");
  CentreYear(a.YearData, a.IncidenceMatrix, p.MAXL, p.MAXG);
  if (standardise) {
    progress(u, standardise_line);
    StandardiseYear(a.YearData, a.IncidenceMatrix, p.MAXL, p.MAXG);
  }
  progress(u, "   Calculate matrix of group means");
  FormGroupMeans(a.YearData, a.IncidenceMatrix, a.GroupMeans, a.GroupCounts, a.GroupSizes,
                 a.GroupMemberList, a.MemberLocations, a.EliminationVector, p.MAXL, p.MAXG, p.NGP);
}

void announce_year(const Arrays& a, Units& u, const Layout& layout, std::int32_t y,
                   const Block& b) {
  std::string_view name(a.YearNames(y).data(), 8);
  to_console_and_sco(u, records::format(layout, {name, b.SequenceYear}));
  u.cos.write(kYearRecord, {y, name});
}

}  // namespace

void RunYearSequence(const Arrays& a, RunParameters& p, Units& u) {
  // The head, once per run.
  progress(u, " Read and write job names");
  if (!records::read_fields(u.naq, kSkipTwo, {}, "the first two records")) {
    u.naq.fail_at(1, "the file is empty; it needs two records before the names");
  }
  ReadNameLists(a.YearNames, a.LocationNames, a.GenotypeNames, p.MAXY, p.MAXL, p.MAXG, u.naq,
                u.sco);
  u.sco.write(kEmpty);

  std::array<char, 50> JobTitle{};
  const Target title{std::span<char>(JobTitle)};
  if (!records::read_fields(u.cls, kTitle, {&title, 1}, "the job title")) {
    u.cls.fail_at(u.cls.line() + 1, "the file ends where the job title should stand");
  }
  to_console_and_sco(u, records::format(kJobIs, {text(JobTitle.data(), 50)}));
  u.cos.write(kTitleCopy, {text(JobTitle.data(), 50)});

  std::array<char, 4> options{};  // WEIGHT, PRXTYP, SEDTYP, CORTYP
  const std::array<Target, 4> option_fields = {
      std::span<char>(&options[0], 1), std::span<char>(&options[1], 1),
      std::span<char>(&options[2], 1), std::span<char>(&options[3], 1)};
  if (!records::read_fields(u.cls, kOptions, option_fields, "the options record")) {
    u.cls.fail_at(u.cls.line() + 1, "the file ends where the options record should stand");
  }
  const std::array<Value, 4> option_values = {text(&options[0], 1), text(&options[1], 1),
                                              text(&options[2], 1), text(&options[3], 1)};
  to_console_and_sco(u, records::format(kOptionLines, option_values));
  u.cos.write(kOptions, option_values);

  const std::array<Target, 2> years = {p.IYS, p.IYF};
  if (!records::read_fields(u.cls, kIntegers, years, "the sequence-years record")) {
    u.cls.fail_at(u.cls.line() + 1, "the file ends where the sequence-years record should stand");
  }
  const long years_line = u.cls.line();
  u.sco.write(kEmpty);
  to_console_and_sco(u, records::format(kSequenceYears, {p.IYS, p.IYF}));
  u.cos.write(kIntegers, {p.IYS, p.IYF});

  char StandardizeAgain = 'N';
  if (options[2] == 'S') {
    u.console.write(kLine, {"  Data was originally standadized"});
    constexpr const char* kAgain = "     Standardize again? (Y or N) :";
    prompt(u.console, kAgain);
    StandardizeAgain = read_answer(u.console_in, 1, kAgain)[0];
    if (StandardizeAgain == 'y') StandardizeAgain = 'Y';
  }
  const bool standardise = StandardizeAgain == 'Y';

  progress(u, " For each year");
  Block b;
  std::array<double, 2> TSS{}, ESS{}, RSS{}, RSQ{};  // overall fit, one per variant
  const Vec<double> vTSS(TSS.data(), 2), vESS(ESS.data(), 2), vRSS(RSS.data(), 2),
      vRSQ(RSQ.data(), 2);

  for (;;) {
    const std::array<Target, 2> header = {b.SequenceYear, std::span<char>(b.SequenceYearName)};
    if (!records::read_fields(u.cls, kYearRecord, header, "a block header")) return;
    const std::int32_t k = ++b.StepNumber;
    b.header_line = u.cls.line();
    const std::string_view year_name(b.SequenceYearName.data(), 8);
    to_console_and_sco(u, records::format(kForYear, {year_name}));
    u.cos.write(kYearRecord, {b.SequenceYear, year_name});

    read_block(a, p, u, b);

    progress(u, "   Calculate group membership");
    try {
      GroupMembership(a.GroupLabels, a.GroupSizes, a.GroupMemberList, a.FusionPairs,
                      b.RetainedCount, b.CutLevel);
    } catch (const BadFusion& bad) {
      u.cls.fail_at(b.hierarchy_line + bad.record - 1,
                    "hierarchy record " + std::to_string(bad.record) + " of block " +
                        std::to_string(k) + " cannot be applied: " + bad.why);
    }

    // The passes read data years IYS to IYS+k-1, each a row of the tables.
    const std::int64_t last = std::int64_t{p.IYS} + k - 1;
    if (p.IYS < 1) {
      u.cls.fail_at(years_line, "the sequence starts in year " + std::to_string(p.IYS) +
                                    ", but data years are numbered from 1");
    }
    if (last > p.MAXY) {
      u.cls.fail_at(b.header_line, "block " + std::to_string(k) + " needs data years " +
                                       std::to_string(p.IYS) + " to " + std::to_string(last) +
                                       ", beyond MAXY (" + std::to_string(p.MAXY) + ")");
    }

    // The SED pass.
    std::fill_n(a.SedSums.data(), a.SedSums.rows() * a.SedSums.cols(), 0.0);
    std::fill_n(a.SedCounts.data(), a.SedCounts.rows() * a.SedCounts.cols(), 0);
    u.seq.rewind();
    for (std::int32_t y = p.IYS; y <= last; ++y) {
      announce_year(a, u, kForSedYear, y, b);
      prepare_year(a, p, u, y, standardise, "   Location standardise the years data");
      progress(u, "   Calculate SED from group centroids");
      AddYearDistances(a.YearData, a.IncidenceMatrix, a.GroupMeans, a.GroupCounts,
                       a.EliminationVector, a.SedSums, a.SedCounts, a.EliminatedLocations, p.MAXL,
                       p.MAXG, p.NGP);
    }
    progress(u, "   Allocate eliminated locations");
    AllocateEliminatedLocations(a.SedSums, a.SedCounts, a.GroupLabels, a.GroupSizes,
                                a.AllocatedGroupSizes, a.MemberLocations, a.AllocatedGroupMembers,
                                a.EliminationVector, a.EliminatedLocations, a.LocationNames, p.MAXL,
                                p.NGP, u.sco, u.cos, u.alc);

    // The MODFIT pass.
    for (const Mat<double>& table : {a.TSSj, a.ESSj, a.RSSj, a.RSQj}) {
      std::fill_n(table.data(), table.rows() * table.cols(), 0.0);
    }
    TSS = ESS = RSS = RSQ = {0.0, 0.0};
    u.seq.rewind();
    for (std::int32_t y = p.IYS; y <= last; ++y) {
      announce_year(a, u, kForModfitYear, y, b);
      prepare_year(a, p, u, y, standardise, "   Location standardize the years data");
      progress(u, "   Calculate model fit");
      FitYear(a.YearData, a.IncidenceMatrix, a.GroupMeans, a.GroupCounts, a.GroupSizes,
              a.AllocatedGroupSizes, a.MemberLocations, a.AllocatedGroupMembers, a.LocMod, a.TSSj,
              vTSS, a.ESSj, vESS, a.RSSj, vRSS, a.RSQj, p.MAXG, p.NGP, y);
    }
    progress(u, "   Calculate overall fit");
    ReportOverallFit(a.TSSj, a.ESSj, a.RSSj, a.RSQj, a.LocMod, vTSS, vESS, vRSS, vRSQ, p.IYS, k,
                     u.sco, u.cos);
  }
}

}  // namespace locseq
