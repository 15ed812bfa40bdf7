// How the figures of the fit show its values.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include "core/results.h"
#include "findings/findings.h"
#include "report/svg.h"
#include "report/text.h"

namespace locseq::report {

// The variants as the tips and the titles name them, by Variant.
inline constexpr std::array<const char*, 2> kSeriesName = {"classified",
                                                           "with allocated locations"};
inline constexpr std::array<const char*, 2> kVariantTitle = {"Classified (retained locations)",
                                                             "With the allocated locations"};

// A fit's RSQ can be drawn: defined and finite.
inline bool drawn(const FitSums& f) {
  return f.rsq_defined && std::isfinite(f.RSQ);
}

// Its RSQ in full, or NA.
inline std::string rsq_text(const FitSums& f) {
  return f.rsq_defined ? round_trip(f.RSQ) : "NA";
}

// Its RSQ in words for a text alternative: three decimals, or NA.
inline std::string rsq_said(const FitSums& f) {
  return f.rsq_defined ? fixed(f.RSQ, 3) : "NA";
}

// An adjusted RSQ in words: three decimals, or NA.
inline std::string adjusted_said(const findings::AdjustedFit& a) {
  return a.value ? fixed(*a.value, 3) : "NA";
}

// The range of the values that can be drawn, as a scale (0 to 1 when none
// can).
struct Range {
  double lo = std::numeric_limits<double>::infinity();
  double hi = -std::numeric_limits<double>::infinity();
  void add(std::optional<double> v) {
    if (!v || !std::isfinite(*v)) return;
    lo = std::min(lo, *v);
    hi = std::max(hi, *v);
  }
  void add(const FitSums& f) {
    if (drawn(f)) add(std::optional<double>(f.RSQ));
  }
  Scale scale(int ticks) const {
    return lo <= hi ? Scale::nice(lo, hi, ticks) : Scale{0.0, 1.0, 0.2, 1};
  }
};

}  // namespace locseq::report
