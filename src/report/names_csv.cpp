#include "report/names_csv.h"

#include <charconv>
#include <vector>

#include "core/input_error.h"

namespace locseq::report {
namespace {

// One row of the file and the line it starts on.
struct Row {
  std::vector<std::string> fields;
  long line = 0;
};

// Splits the text into rows of fields (RFC 4180; a quoted field may hold
// commas, line ends and doubled quotes). Blank lines are skipped.
std::vector<Row> rows_of(std::string_view text, const std::string& file) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  std::vector<Row> rows;
  Row row;
  std::string field;
  bool quoted = false;  // inside a quoted field
  bool any = false;     // the row has begun
  long line = 1;
  long quote_line = 0;  // where the open quote stands
  const auto end_field = [&] {
    row.fields.push_back(std::move(field));
    field.clear();
  };
  const auto end_row = [&] {
    if (any) {
      end_field();
      rows.push_back(std::move(row));
    }
    row = Row{};
    any = false;
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (!any) row.line = line, any = c != '\n' && c != '\r';
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        field += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        if (c == '\n') ++line;
        field += c;
      }
    } else if (c == '"') {
      quoted = true;
      quote_line = line;
    } else if (c == ',') {
      end_field();
    } else if (c == '\n') {
      end_row();
      ++line;
    } else if (c != '\r' || (i + 1 < text.size() && text[i + 1] != '\n')) {
      field += c;
    }
  }
  if (quoted) throw InputError(file, quote_line, "a quoted field is not closed");
  end_row();
  return rows;
}

}  // namespace

FullNames parse_names_csv(std::string_view text, const std::string& file) {
  const std::vector<Row> rows = rows_of(text, file);
  static const std::vector<std::string> kHeader = {"kind", "number", "name", "full_name"};
  if (rows.empty() || rows.front().fields != kHeader) {
    throw InputError(file, rows.empty() ? 1 : rows.front().line,
                     "expected the header kind,number,name,full_name");
  }
  FullNames out;
  for (std::size_t i = 1; i < rows.size(); ++i) {
    const Row& row = rows[i];
    if (row.fields.size() != 4) {
      throw InputError(file, row.line,
                       "expected 4 fields, found " + std::to_string(row.fields.size()));
    }
    const std::string& kind = row.fields[0];
    std::map<std::int32_t, std::string>* names = kind == "year"       ? &out.years
                                                 : kind == "location" ? &out.locations
                                                 : kind == "genotype" ? &out.genotypes
                                                                      : nullptr;
    if (!names) {
      throw InputError(file, row.line,
                       "kind must be year, location or genotype, not " + quoted(kind));
    }
    const std::string& text_number = row.fields[1];
    std::int32_t number = 0;
    const auto res =
        std::from_chars(text_number.data(), text_number.data() + text_number.size(), number);
    if (res.ec != std::errc{} || res.ptr != text_number.data() + text_number.size() || number < 1) {
      throw InputError(file, row.line,
                       "the number must be a whole number from 1, not " + quoted(text_number));
    }
    if (!names->emplace(number, row.fields[3]).second) {
      throw InputError(file, row.line, kind + " " + text_number + " is named twice");
    }
  }
  return out;
}

}  // namespace locseq::report
