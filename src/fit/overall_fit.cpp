#include "fit/overall_fit.h"

namespace locseq {

std::array<VariantFit, 2> FitOfBlock(const FitTables& fit, std::int32_t first_year,
                                     std::int32_t last_year) {
  // The threshold is the single-precision 1.0E-6, widened.
  const double threshold = static_cast<double>(1.0E-6f);
  std::array<VariantFit, 2> out;
  for (std::int32_t v = 1; v <= 2; ++v) {
    VariantFit& f = out[static_cast<std::size_t>(v - 1)];
    FitSums& total = f.overall;
    for (std::int32_t y = first_year; y <= last_year; ++y) {
      YearFit row;
      row.year = y;
      row.LocMod = fit.LocMod(y, v);
      row.sums = {fit.TSSj(y, v), fit.ESSj(y, v), fit.RSSj(y, v), fit.RSQj(y, v),
                  fit.TSSj(y, v) > 0.0};
      f.years.push_back(row);
      total.TSS += row.sums.TSS;
      total.ESS += row.sums.ESS;
      total.RSS += row.sums.RSS;
    }
    total.rsq_defined = total.TSS > threshold;
    total.RSQ = total.rsq_defined ? total.ESS / total.TSS : 0.0;
  }
  return out;
}

}  // namespace locseq
