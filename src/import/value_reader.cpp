#include "import/value_reader.h"

#include <algorithm>
#include <array>

#include "core/input_error.h"
#include "formats/csv.h"
#include "import/values.h"

namespace locseq::import {

namespace {

// Spellings of a missing value that other programs write, lower case.
constexpr std::array<std::string_view, 7> kOtherMissing = {"n/a", "nan",  "#n/a", "?",
                                                           "na",  "null", "none"};

bool is_other_missing(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return std::find(kOtherMissing.begin(), kOtherMissing.end(), lower) != kOtherMissing.end();
}

std::string without(std::string_view text, char c) {
  std::string out(text);
  out.erase(std::remove(out.begin(), out.end(), c), out.end());
  return out;
}

// Whether `text`, which holds a point and a comma, is a number once either
// is taken for a thousands separator.
bool has_thousands_separator(std::string_view text) {
  float v = 0.0f;
  return read_value(without(text, ','), false, v) == ValueStatus::Ok ||
         read_value(without(text, '.'), true, v) == ValueStatus::Ok;
}

const char* mark_name(char mark) {
  return mark == ',' ? "a decimal comma" : "a decimal point";
}

}  // namespace

ValueReader::ValueReader(const ImportOptions& options, char delimiter, const std::string& file_name)
    : na_(options.na),
      file_(file_name),
      fixed_(options.decimal),
      explicit_(options.decimal != DecimalMark::Auto),
      infer_(options.decimal == DecimalMark::Auto && delimiter == ';') {
  if (fixed_ == DecimalMark::Auto && !infer_) fixed_ = DecimalMark::Point;
}

bool ValueReader::missing(std::string_view text) const {
  return formats::csv::is_missing(text) || std::find(na_.begin(), na_.end(), text) != na_.end();
}

float ValueReader::read(std::string_view text, long line, const std::string& column,
                        const std::string& advice) {
  const bool comma = text.find(',') != std::string_view::npos;
  const bool point = text.find('.') != std::string_view::npos;
  if (comma && point) {
    if (!has_thousands_separator(text)) not_a_number(text, line, column, advice);
    throw InputError(file_, line,
                     "the value " + quoted(text) + " (" + column +
                         ") holds a point and a comma: thousands separators are not read; save "
                         "the table without them");
  }
  if (comma && fixed_ == DecimalMark::Point) other_mark(text, line, ',', column);
  if (point && fixed_ == DecimalMark::Comma) other_mark(text, line, '.', column);
  if (infer_ && (comma || point)) {
    Seen& same = comma ? comma_ : point_;
    if (same.line == 0) same = {line, std::string(text), column};
    if (comma_.line != 0 && point_.line != 0) {
      other_mark(point_.text, point_.line, '.', point_.column);
    }
  }
  float v = 0.0f;
  switch (read_value(text, comma, v)) {
    case ValueStatus::Ok:
      return v;
    case ValueStatus::Malformed:
      not_a_number(text, line, column, advice);
    case ValueStatus::OutOfRange:
      break;
  }
  throw InputError(file_, line,
                   "the value " + quoted(text) + " (" + column + ") is beyond single precision");
}

void ValueReader::other_mark(std::string_view text, long line, char mark,
                             const std::string& column) const {
  std::string message = "the value " + quoted(text) + " (" + column + ") is written with " +
                        mark_name(mark) + ", but ";
  if (infer_) {
    message += "line " + std::to_string(comma_.line) + " (" + quoted(comma_.text) +
               ") has a decimal comma, and one mark is read for every value of the table: " +
               "the point may be a thousands separator; write every value with a decimal comma "
               "and no thousands separators";
  } else if (mark == '.') {
    message +=
        "the values are read with a decimal comma (--decimal comma): the point may be a "
        "thousands separator; write every value with a decimal comma and no thousands "
        "separators";
  } else {
    message += explicit_ ? "the values are read with a decimal point (--decimal point)"
                         : "the values of a table separated by commas or tabs are read with a "
                           "decimal point; if they use a decimal comma, use --decimal comma";
  }
  throw InputError(file_, line, message);
}

void ValueReader::not_a_number(std::string_view text, long line, const std::string& column,
                               const std::string& advice) const {
  std::string message = "the value " + quoted(text) + " (" + column + ") is not a number";
  if (is_other_missing(text)) {
    std::string shell(text);
    message += "; if it marks a missing value, add --na '" + shell + "'";
  }
  throw InputError(file_, line, message + advice);
}

}  // namespace locseq::import
