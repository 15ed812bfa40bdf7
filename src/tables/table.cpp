#include "tables/table.h"

#include <stdexcept>

#include "tables/csv.h"

namespace locseq::tables {

namespace {

std::string csv_field(const Field& f) {
  struct Text {
    std::string operator()(std::monostate) const { return std::string(formats::csv::kMissing); }
    std::string operator()(std::int64_t v) const { return std::to_string(v); }
    std::string operator()(double v) const { return number(v); }
    std::string operator()(const std::string& v) const { return quoted(v); }
    std::string operator()(bool v) const { return v ? "true" : "false"; }
  };
  return std::visit(Text{}, f);
}

}  // namespace

bool holds(const Field& field, Type type) {
  switch (type) {
    case Type::integer:
      return std::holds_alternative<std::int64_t>(field);
    case Type::real:
      return std::holds_alternative<double>(field);
    case Type::text:
      return std::holds_alternative<std::string>(field);
    case Type::logical:
      return std::holds_alternative<bool>(field);
  }
  return false;
}

void CsvSink::columns(std::span<const ColumnHead> heads) {
  Row row;
  for (const ColumnHead& h : heads) row << h.name;
  out_ << row.str();
}

void CsvSink::row(std::span<const Field> fields) {
  Row row;
  for (const Field& f : fields) row << csv_field(f);
  out_ << row.str();
}

void TableKeeper::columns(std::span<const ColumnHead> heads) {
  table_.heads.assign(heads.begin(), heads.end());
  table_.columns.assign(heads.size(), {});
}

void TableKeeper::row(std::span<const Field> fields) {
  if (fields.size() != table_.heads.size()) {
    throw std::logic_error("a row of " + std::to_string(fields.size()) + " fields in a table of " +
                           std::to_string(table_.heads.size()) + " columns");
  }
  for (std::size_t k = 0; k < fields.size(); ++k) {
    if (!std::holds_alternative<std::monostate>(fields[k]) &&
        !holds(fields[k], table_.heads[k].type)) {
      throw std::logic_error("column " + table_.heads[k].name + ": a field of another type");
    }
    table_.columns[k].push_back(fields[k]);
  }
}

}  // namespace locseq::tables
