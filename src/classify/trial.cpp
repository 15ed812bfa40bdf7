#include "classify/trial.h"

#include <string_view>

#include "classify/analysis_calls.h"
#include "core/input_error.h"
#include "formats/naq.h"
#include "records/record_reader.h"

namespace locseq::classify {

namespace {

std::string sizes_text(const std::array<std::int32_t, 3>& s) {
  return std::to_string(s[0]) + "," + std::to_string(s[1]) + "," + std::to_string(s[2]);
}

// Reads .SEQ into the years of `t`.
void read_seq(records::FileReader& seq, Trial& t) {
  const auto cells = static_cast<std::size_t>(t.MAXL) * static_cast<std::size_t>(t.MAXG);
  std::int32_t latest = 0;        // the highest year met so far
  long passed_over = 0;           // records of an earlier year after a later one
  long first_passed_over = 0;     // the line of the first of them
  std::int32_t passed_year = 0;   // its year
  std::int32_t passed_after = 0;  // and the year it came after
  SeqRecord r;
  for (;;) {
    const SeqRead got = next_seq_record(seq, r);
    if (got == SeqRead::End) break;
    if (got == SeqRead::CutShort) {
      t.warnings.push_back(
          "the last record is cut short (fewer than four numbers); it is dropped, "
          "as the run drops it");
      break;
    }
    if (r.year < 1 || r.year > t.MAXY) {
      seq.fail("year " + std::to_string(r.year) + " is outside 1 to MAXY (" +
               std::to_string(t.MAXY) + ")");
    }
    if (r.location < 1 || r.location > t.MAXL) {
      seq.fail("location " + std::to_string(r.location) + " is outside 1 to MAXL (" +
               std::to_string(t.MAXL) + ")");
    }
    if (r.genotype < 1 || r.genotype > t.MAXG) {
      seq.fail("genotype " + std::to_string(r.genotype) + " is outside 1 to MAXG (" +
               std::to_string(t.MAXG) + ")");
    }
    if (r.year < latest) {
      if (passed_over++ == 0) {
        first_passed_over = seq.line();
        passed_year = r.year;
        passed_after = latest;
      }
      continue;
    }
    latest = r.year;
    TrialYear& year = t.years[static_cast<std::size_t>(r.year - 1)];
    if (year.values.empty()) {
      year.values.assign(cells, 0.0f);
      year.presence.assign(cells, 0);
    }
    const std::size_t at =
        static_cast<std::size_t>(r.genotype - 1) * static_cast<std::size_t>(t.MAXL) +
        static_cast<std::size_t>(r.location - 1);
    year.values[at] = r.value;
    year.presence[at] = 1;
  }
  if (passed_over > 0) {
    t.warnings.push_back(
        "line " + std::to_string(first_passed_over) + ": a record of year " +
        std::to_string(passed_year) + " after records of year " + std::to_string(passed_after) +
        (passed_over > 1 ? " (and " + std::to_string(passed_over - 1) + " more such records)"
                         : "") +
        " is passed over, as the run passes over it: records must be grouped by year in "
        "ascending order");
  }
}

}  // namespace

Trial load_trial(std::istream& naq_in, const std::string& naq_name, std::istream& seq_in,
                 const std::string& seq_name, Sizes size, Sizes fallback) {
  records::FileReader naq(naq_in, naq_name);
  const std::string second = formats::naq::read_heading(naq);
  long size_line = 0;  // the .NAQ record that gave the sizes, if any
  if (!size) {
    size = formats::naq::parse_sizes(second);
    if (size) {
      size_line = 2;
    } else if (fallback) {
      size = fallback;
    } else {
      throw InputError(naq_name, 2,
                       "the second record does not give the sizes as '<MAXY> years, <MAXL> "
                       "locations, <MAXG> genotypes' (as an import writes it); give them with "
                       "--size Y,L,G, or keep the job's .CLS, whose head holds them");
    }
  }
  const auto [MAXY, MAXL, MAXG] = *size;
  if (MAXY < 1 || MAXL < 1 || MAXG < 1) {
    throw InputError(naq_name, size_line,
                     "the sizes " + sizes_text(*size) +
                         " (years, locations, genotypes) must "
                         "each be at least 1");
  }
  if (std::int64_t{MAXL} * MAXG > kMaxCellsPerYear) {
    throw InputError(naq_name, size_line,
                     "the sizes " + sizes_text(*size) + " give " +
                         std::to_string(std::int64_t{MAXL} * MAXG) +
                         " cells a year, more than the " + std::to_string(kMaxCellsPerYear) +
                         " a classification holds");
  }
  Trial t;
  t.MAXY = MAXY;
  t.MAXL = MAXL;
  t.MAXG = MAXG;
  t.naq_name = naq_name;
  t.seq_name = seq_name;
  t.YearNames.resize(static_cast<std::size_t>(MAXY));
  t.LocationNames.resize(static_cast<std::size_t>(MAXL));
  t.GenotypeNames.resize(static_cast<std::size_t>(MAXG));
  formats::naq::read_names(
      naq, {Vec<Name8>(std::span(t.YearNames)), Vec<Name8>(std::span(t.LocationNames)),
            Vec<Name8>(std::span(t.GenotypeNames))});
  t.years.resize(static_cast<std::size_t>(MAXY));
  records::FileReader seq(seq_in, seq_name);
  read_seq(seq, t);
  return t;
}

}  // namespace locseq::classify
