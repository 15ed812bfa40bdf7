#include "classify/trial.h"

#include <string_view>

#include "classify/analysis_calls.h"
#include "core/input_error.h"
#include "core/progress.h"
#include "formats/naq.h"
#include "formats/seq.h"
#include "records/record_reader.h"

namespace locseq::classify {

namespace {

std::string sizes_text(const std::array<std::int32_t, 3>& s) {
  return std::to_string(s[0]) + "," + std::to_string(s[1]) + "," + std::to_string(s[2]);
}

// Reads .SEQ into the years of `t`, by the rules of formats/seq.h: a
// record out of year order is skipped, a later record of a cell replaces the
// earlier one.
void read_seq(records::FileReader& seq, std::int64_t size, Trial& t) {
  const auto cells = static_cast<std::size_t>(t.MAXL) * static_cast<std::size_t>(t.MAXG);
  formats::seq::Scanner scanner(seq, seq_short_cut);
  formats::seq::YearOrder order;
  formats::seq::Observation r;
  ReadingProgress progress(size);
  while (scanner.next(r)) {
    progress.record_read(seq.tell().offset);
    if (order.out_of_order(seq, r.year)) continue;
    std::string fault = formats::seq::year_fault(r.year, t.MAXY);
    if (fault.empty()) fault = formats::seq::cell_fault(r, t.MAXL, t.MAXG);
    if (!fault.empty()) seq.fail(fault);
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
}

}  // namespace

Trial load_trial(std::istream& naq_in, const std::string& naq_name, std::istream& seq_in,
                 const std::string& seq_name, Sizes size, Sizes fallback,
                 Diagnostics* diagnostics) {
  records::FileReader naq(naq_in, naq_name);
  naq.watch(diagnostics);
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
  const std::int64_t seq_size = stream_size(seq_in);
  records::FileReader seq(seq_in, seq_name);
  seq.watch(diagnostics);
  read_seq(seq, seq_size, t);
  return t;
}

}  // namespace locseq::classify
