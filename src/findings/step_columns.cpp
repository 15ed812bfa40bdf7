#include "findings/step_columns.h"

#include <array>

namespace locseq::findings {
namespace {

std::int64_t whole(std::int64_t v) {
  return v;
}

std::optional<double> real(double v) {
  return v;
}

// A column of the overall fit of a variant.
template <Variant V, double FitSums::*Field>
std::optional<double> fit(const StepRow& r) {
  return real(r.block.fit[V].overall.*Field);
}

template <Variant V>
std::optional<double> rsq(const StepRow& r) {
  const FitSums& f = r.block.fit[V].overall;
  return f.rsq_defined ? real(f.RSQ) : std::nullopt;
}

template <Variant V>
std::optional<double> adjusted(const StepRow& r) {
  return r.findings.adjusted[V].value;
}

constexpr std::string_view kClassifiedPart = "Classified (retained locations)";
constexpr std::string_view kAllocatedPart = "With the allocated locations";

constexpr std::array kColumns = {
    StepColumn{"step", "Step", "", [](const StepRow& r) { return whole(r.block.StepNumber); }},
    StepColumn{"sequence_year", "Sequence year", "",
               [](const StepRow& r) { return whole(r.block.SequenceYear); }},
    StepColumn{"sequence_year_name", "Its name", "",
               [](const StepRow& r) { return r.block.SequenceYearName; }},
    StepColumn{"first_year", "First data year", "",
               [](const StepRow& r) { return whole(r.block.first_year); }},
    StepColumn{"last_year", "Last data year", "",
               [](const StepRow& r) { return whole(r.block.last_year); }},
    StepColumn{"retained", "Retained", "",
               [](const StepRow& r) { return whole(r.block.RetainedCount); }},
    StepColumn{"eliminated", "Eliminated", "",
               [](const StepRow& r) {
                 return whole(static_cast<std::int64_t>(r.block.eliminated.size()));
               }},
    StepColumn{"groups", "Groups", "", [](const StepRow& r) { return whole(r.block.CutLevel); }},
    StepColumn{"tss_classified", "TSS", kClassifiedPart, fit<kClassified, &FitSums::TSS>},
    StepColumn{"ess_classified", "ESS", "", fit<kClassified, &FitSums::ESS>},
    StepColumn{"rss_classified", "RSS", "", fit<kClassified, &FitSums::RSS>},
    StepColumn{"rsq_classified", "RSQ", "", rsq<kClassified>},
    StepColumn{"tss_with_allocated", "TSS", kAllocatedPart, fit<kWithAllocated, &FitSums::TSS>},
    StepColumn{"ess_with_allocated", "ESS", "", fit<kWithAllocated, &FitSums::ESS>},
    StepColumn{"rss_with_allocated", "RSS", "", fit<kWithAllocated, &FitSums::RSS>},
    StepColumn{"rsq_with_allocated", "RSQ", "", rsq<kWithAllocated>},
    StepColumn{"stability_ari", "Adjusted Rand index", "Stability",
               [](const StepRow& r) { return r.findings.stability; }},
    StepColumn{"adj_rsq_classified", "Classified", "Adjusted RSQ", adjusted<kClassified>},
    StepColumn{"adj_rsq_with_allocated", "With the allocated locations", "",
               adjusted<kWithAllocated>},
    StepColumn{"singleton_groups", "Single-site groups", "",
               [](const StepRow& r) { return whole(r.findings.single_site); }},
};

}  // namespace

std::span<const StepColumn> step_columns() {
  return kColumns;
}

}  // namespace locseq::findings
