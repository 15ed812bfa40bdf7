#include "classify/analysis_calls.h"

#include "data/centring.h"
#include "data/year_reader.h"
#include "setup/run_setup.h"

namespace locseq::classify {

bool seq_short_cut(std::string_view line, formats::seq::Observation& out) {
  return read_by_short_cut(line, out);
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
