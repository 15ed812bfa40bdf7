#include "table_frames.h"

#include <cstdint>
#include <string>
#include <variant>

#include "cpp11/doubles.hpp"
#include "cpp11/integers.hpp"
#include "cpp11/list.hpp"
#include "cpp11/logicals.hpp"
#include "cpp11/r_string.hpp"
#include "cpp11/strings.hpp"

namespace locseq::r {

namespace {

using tables::Field;
using tables::Type;

bool missing(const Field& f) {
  return std::holds_alternative<std::monostate>(f);
}

SEXP column(const tables::ColumnHead& head, const std::vector<Field>& fields) {
  const auto n = static_cast<R_xlen_t>(fields.size());
  switch (head.type) {
    case Type::integer: {
      cpp11::writable::integers out(n);
      for (R_xlen_t i = 0; i < n; ++i) {
        const Field& f = fields[static_cast<std::size_t>(i)];
        out[i] = missing(f) ? NA_INTEGER : static_cast<int>(std::get<std::int64_t>(f));
      }
      return out;
    }
    case Type::real: {
      cpp11::writable::doubles out(n);
      for (R_xlen_t i = 0; i < n; ++i) {
        const Field& f = fields[static_cast<std::size_t>(i)];
        out[i] = missing(f) ? NA_REAL : std::get<double>(f);
      }
      return out;
    }
    case Type::text: {
      cpp11::writable::strings out(n);
      for (R_xlen_t i = 0; i < n; ++i) {
        const Field& f = fields[static_cast<std::size_t>(i)];
        out[i] =
            missing(f) ? cpp11::na<cpp11::r_string>() : cpp11::r_string(std::get<std::string>(f));
      }
      return out;
    }
    case Type::logical: {
      cpp11::writable::logicals out(n);
      for (R_xlen_t i = 0; i < n; ++i) {
        const Field& f = fields[static_cast<std::size_t>(i)];
        out[i] = missing(f) ? cpp11::na<cpp11::r_bool>() : cpp11::r_bool(std::get<bool>(f));
      }
      return out;
    }
  }
  return R_NilValue;
}

}  // namespace

cpp11::writable::data_frame table_frame(const tables::Table& table) {
  const auto columns = static_cast<R_xlen_t>(table.heads.size());
  cpp11::writable::list frame(columns);
  cpp11::writable::strings names(columns);
  for (R_xlen_t j = 0; j < columns; ++j) {
    const auto k = static_cast<std::size_t>(j);
    frame[j] = column(table.heads[k], table.columns[k]);
    names[j] = table.heads[k].name;
  }
  frame.names() = names;
  return cpp11::writable::data_frame(frame);
}

}  // namespace locseq::r
