#include "fit/overall_fit.h"

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

}  // namespace

void ReportOverallFit(Mat<const double> TSSj, Mat<const double> ESSj, Mat<const double> RSSj,
                      Mat<const double> RSQj, Mat<const std::int32_t> LocMod, Vec<const double> TSS,
                      Vec<const double> ESS, Vec<const double> RSS, Vec<double> RSQ,
                      std::int32_t IYS, std::int32_t StepNumber, records::Unit& sco,
                      records::Unit& cos) {
  // The threshold is the single-precision 1.0E-6, widened.
  const double threshold = static_cast<double>(1.0E-6f);
  for (std::int32_t v = 1; v <= 2; ++v) {
    RSQ(v) = TSS(v) > threshold ? ESS(v) / TSS(v) : 0.0;
  }
  for (std::int32_t v = 1; v <= 2; ++v) {
    sco.write(kLine, {kTitles[static_cast<std::size_t>(v - 1)]});
    sco.write(kLine, {"   Year     LocMod        TSSj      ESSj      RSSj'      RSQj"});
    for (std::int32_t y = IYS; y <= IYS + StepNumber - 1; ++y) {
      std::string row = records::format(
          kYearRow, {y, LocMod(y, v), TSSj(y, v), ESSj(y, v), RSSj(y, v), RSQj(y, v)});
      cos.put(row);
      sco.put(row);
    }
    sco.write(kLine, {" Overall                   TSS       ESS       RSS'       RSQ"});
    std::string overall = records::format(kOverallRow, {TSS(v), ESS(v), RSS(v), RSQ(v)});
    cos.put(overall);
    sco.put(overall);
  }
}

}  // namespace locseq
