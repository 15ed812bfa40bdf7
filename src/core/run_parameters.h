// The run parameters of a job.
#pragma once

#include <cstdint>

namespace locseq {

// The run parameters. NYA and NTM serve the parameter summary only and are
// held in 64 bits, so that extreme heads are reported, not wrapped.
struct RunParameters {
  std::int32_t MAXY = 0;  // maximum number of years in the data set
  std::int32_t MAXL = 0;  // maximum number of locations
  std::int32_t MAXG = 0;  // maximum number of genotypes
  std::int32_t IYS = 0;   // year at which the sequential analyses start
  std::int32_t IYF = 0;   // year at which they finish (only echoed)
  std::int64_t NYA = 0;   // IYF - IYS + 1
  std::int64_t NTM = 0;   // MAXL (MAXL + 1) / 2
  std::int32_t NGP = 0;   // truncation level: the number of groups
};

}  // namespace locseq
