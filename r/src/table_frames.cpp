#include "table_frames.h"

#include <charconv>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include "cpp11/data_frame.hpp"
#include "cpp11/doubles.hpp"
#include "cpp11/integers.hpp"
#include "cpp11/r_string.hpp"
#include "cpp11/strings.hpp"

namespace locseq::r {

namespace {

struct Field {
  std::string text;
  bool quoted = false;
};

using Rows = std::vector<std::vector<Field>>;

[[noreturn]] void unreadable(const std::string& what) {
  throw std::runtime_error("internal error: a table the run wrote cannot be read back: " + what);
}

// Every row of `csv`, split into fields; a quoted field may hold commas,
// doubled quotes and line ends.
Rows rows_of(std::string_view csv) {
  Rows rows;
  std::vector<Field> row;
  Field field;
  bool in_quotes = false;
  for (std::size_t i = 0; i < csv.size(); ++i) {
    const char c = csv[i];
    if (in_quotes) {
      if (c != '"') {
        field.text += c;
      } else if (i + 1 < csv.size() && csv[i + 1] == '"') {
        field.text += '"';
        ++i;
      } else {
        in_quotes = false;
      }
    } else if (c == '"') {
      in_quotes = field.quoted = true;
    } else if (c == ',' || c == '\n') {
      row.push_back(std::move(field));
      field = Field{};
      if (c == '\n') {
        rows.push_back(std::move(row));
        row.clear();
      }
    } else {
      field.text += c;
    }
  }
  if (in_quotes || !row.empty() || !field.text.empty()) unreadable("its last row is cut short");
  return rows;
}

bool whole_number(const std::string& t) {
  std::int64_t v = 0;
  const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  return ec == std::errc() && end == t.data() + t.size() && v > std::numeric_limits<int>::min() &&
         v <= std::numeric_limits<int>::max();
}

double real(const std::string& t) {
  double v = 0;
  const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  if (ec != std::errc() || end != t.data() + t.size()) unreadable("'" + t + "' is not a number");
  return v;
}

// Column `j` of the rows after the header, typed as table_frame says.
SEXP column(const Rows& rows, std::size_t j) {
  const std::size_t n = rows.size() - 1;
  bool text = false, whole = true;
  for (std::size_t i = 1; i <= n; ++i) {
    const Field& f = rows[i][j];
    text = text || f.quoted;
    whole = whole && (f.quoted || f.text == "NA" || whole_number(f.text));
  }
  const auto na = [&](std::size_t i) { return !rows[i][j].quoted && rows[i][j].text == "NA"; };
  if (text) {
    cpp11::writable::strings out(static_cast<R_xlen_t>(n));
    for (std::size_t i = 1; i <= n; ++i)
      out[static_cast<R_xlen_t>(i - 1)] =
          na(i) ? cpp11::na<cpp11::r_string>() : cpp11::r_string(rows[i][j].text);
    return out;
  }
  if (whole) {
    cpp11::writable::integers out(static_cast<R_xlen_t>(n));
    for (std::size_t i = 1; i <= n; ++i)
      out[static_cast<R_xlen_t>(i - 1)] = na(i) ? NA_INTEGER : std::stoi(rows[i][j].text);
    return out;
  }
  cpp11::writable::doubles out(static_cast<R_xlen_t>(n));
  for (std::size_t i = 1; i <= n; ++i)
    out[static_cast<R_xlen_t>(i - 1)] = na(i) ? NA_REAL : real(rows[i][j].text);
  return out;
}

}  // namespace

cpp11::data_frame table_frame(std::string_view csv) {
  const Rows rows = rows_of(csv);
  if (rows.empty()) unreadable("it has no header");
  const std::size_t columns = rows[0].size();
  for (const auto& row : rows) {
    if (row.size() != columns) unreadable("its rows differ in length");
  }
  cpp11::writable::list frame(static_cast<R_xlen_t>(columns));
  cpp11::writable::strings names(static_cast<R_xlen_t>(columns));
  for (std::size_t j = 0; j < columns; ++j) {
    frame[static_cast<R_xlen_t>(j)] = column(rows, j);
    names[static_cast<R_xlen_t>(j)] = rows[0][j].text;
  }
  frame.names() = names;
  return cpp11::writable::data_frame(frame);
}

}  // namespace locseq::r
