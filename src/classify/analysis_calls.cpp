#include "classify/analysis_calls.h"

#include <algorithm>

#include "data/centring.h"
#include "data/name_lists.h"
#include "data/year_reader.h"
#include "setup/run_setup.h"

namespace locseq::classify {

SeqRead next_seq_record(records::FileReader& seq, SeqRecord& out) {
  std::string_view line;
  Observation obs;
  for (;;) {
    if (!seq.next(line)) return SeqRead::End;
    const SeqLine kind = parse_observation(line, obs, seq);
    if (kind == SeqLine::Blank) continue;
    if (kind == SeqLine::Short) {
      // As the run: a record cut short by the end of the file is dropped;
      // anywhere else it lacks a number.
      const long short_line = seq.line();
      while (seq.next(line)) {
        if (!std::all_of(line.begin(), line.end(), [](char c) { return c == ' ' || c == '\t'; })) {
          seq.fail_at(short_line, "fewer than four numbers (year, location, genotype, value)");
        }
      }
      return SeqRead::CutShort;
    }
    out = {obs.year, obs.location, obs.genotype, obs.value};
    return SeqRead::Record;
  }
}

void read_names(records::FileReader& naq, std::span<Name8> years, std::span<Name8> locations,
                std::span<Name8> genotypes) {
  ReadNames({Vec<Name8>(years), Vec<Name8>(locations), Vec<Name8>(genotypes)}, naq);
}

std::optional<NonFinite> prepare_year(Mat<float> values, Mat<const std::int32_t> presence,
                                      bool standardise) {
  // The run's year bundle; centring reads the incidence and never writes it.
  const Year year{values, Mat<std::int32_t>(const_cast<std::int32_t*>(presence.data()),
                                            presence.rows(), presence.cols())};
  if (!CentreYear(year)) return CentringOverflow(year);
  if (standardise) StandardiseYear(year);
  return std::nullopt;
}

std::int32_t default_level(std::int32_t MAXL) {
  return square_root_rule(MAXL);
}

}  // namespace locseq::classify
