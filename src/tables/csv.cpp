#include "tables/csv.h"

#include <charconv>

#include "formats/text_encoding.h"

namespace locseq::tables {

std::string name_field(const Name8& name) {
  std::string_view text(name.data(), name.size());
  return quoted(formats::text::escape_invalid_utf8(text.substr(0, text.find_last_not_of(' ') + 1)));
}

std::string number(double v) {
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return {buf, r.ptr};
}

std::string number(std::optional<double> v) {
  return v ? number(*v) : std::string(formats::csv::kMissing);
}

}  // namespace locseq::tables
