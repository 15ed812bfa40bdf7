#include "fit/fit_report.h"

#include <array>
#include <string>

namespace locseq {

namespace {

using records::Layout;

constexpr Layout kLine("(A)");
constexpr Layout kYearRow("(2(I7,3X),3E10.3,F10.2)");
constexpr Layout kOverallRow("(20X,3E10.3,F10.2)");

constexpr std::array<const char*, 2> kTitles = {" Model fit without eliminated locations",
                                                " Model fit with eliminated locations"};

std::string year_rows(const VariantFit& f) {
  std::string out;
  for (const YearFit& row : f.years) {
    const FitSums& s = row.sums;
    records::format(out, kYearRow, {row.year, row.LocMod, s.TSS, s.ESS, s.RSS, s.RSQ});
  }
  return out;
}

std::string overall_row(const VariantFit& f) {
  const FitSums& s = f.overall;
  return records::format(kOverallRow, {s.TSS, s.ESS, s.RSS, s.RSQ});
}

}  // namespace

void write_fit_sco(const BlockResult& block, records::Unit& sco) {
  for (std::size_t v = 0; v < block.fit.size(); ++v) {
    sco.write(kLine, {kTitles[v]});
    sco.write(kLine, {"   Year     LocMod        TSSj      ESSj      RSSj'      RSQj"});
    sco.put(year_rows(block.fit[v]));
    sco.write(kLine, {" Overall                   TSS       ESS       RSS'       RSQ"});
    sco.put(overall_row(block.fit[v]));
  }
}

void write_fit_cos(const BlockResult& block, records::Unit& cos) {
  for (const VariantFit& f : block.fit) {
    cos.put(year_rows(f));
    cos.put(overall_row(f));
  }
}

}  // namespace locseq
