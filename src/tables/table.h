// A table of the results as typed values: its columns (a name and a type
// each) and its rows of fields. The CSV files are written from these
// values, and a host that embeds the analysis takes the same values as
// columns (an interpreter's data frame), so both hold the same numbers.
#pragma once

#include <cstdint>
#include <ostream>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace locseq::tables {

// The type of a column.
enum class Type { integer, real, text, logical };

// One field: missing (NA), or a value of its column's type (an integer, a
// real number, a text, true or false).
using Field = std::variant<std::monostate, std::int64_t, double, std::string, bool>;

struct ColumnHead {
  std::string name;
  Type type = Type::integer;
};

// Receives one table: its columns once, then its rows in order, each a
// field per column.
class TableSink {
 public:
  virtual ~TableSink() = default;
  virtual void columns(std::span<const ColumnHead> heads) = 0;
  virtual void row(std::span<const Field> fields) = 0;
};

// Writes a table as CSV (formats/csv.h): the header row, then a line per
// row; a text in double quotes, a real number in the shortest text that
// reads back to the same value, a logical as true or false, NA for a
// missing field.
class CsvSink final : public TableSink {
 public:
  explicit CsvSink(std::ostream& out) : out_(out) {}
  void columns(std::span<const ColumnHead> heads) override;
  void row(std::span<const Field> fields) override;

 private:
  std::ostream& out_;
};

// A table kept as columns.
struct Table {
  std::vector<ColumnHead> heads;
  std::vector<std::vector<Field>> columns;  // a vector of fields per column, rows in order
  std::size_t rows() const { return columns.empty() ? 0 : columns.front().size(); }
};

// Keeps a table as columns. A field that is neither missing nor of its
// column's type, or a row of another width, is a fault of the writer:
// std::logic_error.
class TableKeeper final : public TableSink {
 public:
  void columns(std::span<const ColumnHead> heads) override;
  void row(std::span<const Field> fields) override;
  const Table& table() const { return table_; }
  Table take() { return std::move(table_); }

 private:
  Table table_;
};

// The type a field holds, or none for a missing one.
bool holds(const Field& field, Type type);

}  // namespace locseq::tables
