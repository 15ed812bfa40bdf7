// The values of a table as text: which are missing, and which decimal mark
// they are written with, decided once for every value column.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "import/importer.h"

namespace locseq::import {

class ValueReader {
 public:
  // For a table with `delimiter`, named `file_name` in messages. The mark
  // is options.decimal; Auto reads a ';' table with a decimal comma when
  // any of its values has one, else with a point, and any other table with
  // a point.
  ValueReader(const ImportOptions& options, char delimiter, const std::string& file_name);

  // Whether a value (trimmed) is missing: empty, NA, ., -, * or a spelling
  // given with --na.
  bool missing(std::string_view text) const;

  // Reads a value that is not missing, on `line` of the table, in the
  // column `column` (its words in messages, e.g. "column 4 'yield'");
  // `advice` ends the message of a value that is not a number. Throws
  // InputError for a value that is not a number (suggesting --na for the
  // usual spellings of a missing value), that is beyond single precision,
  // that holds both marks, or that is written with the other mark than the
  // table's (naming the line that decided it).
  float read(std::string_view text, long line, const std::string& column,
             const std::string& advice = {});

 private:
  struct Seen {
    long line = 0;       // the first value written with the mark, or 0
    std::string text;    // that value
    std::string column;  // and its column
  };
  const std::vector<std::string>& na_;
  const std::string& file_;
  DecimalMark fixed_;  // Point or Comma when settled before the first value
  bool explicit_;      // the mark is the option's
  bool infer_;         // the mark is the data's
  Seen comma_, point_;

  [[noreturn]] void other_mark(std::string_view text, long line, char mark,
                               const std::string& column) const;
  [[noreturn]] void not_a_number(std::string_view text, long line, const std::string& column,
                                 const std::string& advice) const;
};

}  // namespace locseq::import
