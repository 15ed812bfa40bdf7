#include "classify/analysis_calls.h"

#include <algorithm>
#include <sstream>

#include "data/centring.h"
#include "data/name_lists.h"
#include "data/year_reader.h"
#include "setup/run_setup.h"

namespace locseq::classify {

SeqRead next_seq_record(records::RecordReader& seq, SeqRecord& out) {
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

void read_names(records::RecordReader& naq, std::span<Name8> years, std::span<Name8> locations,
                std::span<Name8> genotypes) {
  std::ostringstream echo;  // the run's echo of the names, not wanted here
  records::Unit sink(echo, "echo");
  ReadNameLists(Vec<Name8>(years), Vec<Name8>(locations), Vec<Name8>(genotypes),
                static_cast<std::int32_t>(years.size()),
                static_cast<std::int32_t>(locations.size()),
                static_cast<std::int32_t>(genotypes.size()), naq, sink);
}

void prepare_year(Mat<float> values, Mat<const std::int32_t> presence, bool standardise) {
  const auto MAXL = static_cast<std::int32_t>(values.rows());
  const auto MAXG = static_cast<std::int32_t>(values.cols());
  CentreYear(values, presence, MAXL, MAXG);
  if (standardise) StandardiseYear(values, presence, MAXL, MAXG);
}

std::int32_t default_level(std::int32_t MAXL) {
  return square_root_rule(MAXL);
}

}  // namespace locseq::classify
