#include "tables/csv.h"

#include <charconv>

namespace locseq::tables {

std::string number(double v) {
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return {buf, r.ptr};
}

std::string number(std::optional<double> v) {
  return v ? number(*v) : std::string(formats::csv::kMissing);
}

}  // namespace locseq::tables
