// CSV text as R, Python and spreadsheets read it: comma-separated, LF line
// ends, every text field quoted, numbers in the shortest text that reads
// back to the same binary value, NA for a missing value.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/arrays.h"

namespace locseq::tables {

// A text field: in double quotes, a quote doubled.
std::string quoted(std::string_view text);

// A name as the reports show it, without its trailing blanks, quoted.
std::string name_field(const Name8& name);

// The shortest text that reads back to `v`, or NA.
std::string number(double v);
std::string number(std::optional<double> v);

// One row: the fields joined by commas, then a line end.
class Row {
 public:
  Row& operator<<(std::string_view field);
  Row& operator<<(std::int64_t v) { return *this << std::string_view(std::to_string(v)); }
  Row& operator<<(std::int32_t v) { return *this << static_cast<std::int64_t>(v); }
  std::string str() const { return text_ + '\n'; }

 private:
  std::string text_;
  bool first_ = true;
};

}  // namespace locseq::tables
