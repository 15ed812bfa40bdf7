// CSV: delimited text as spreadsheets, databases, R and Python write and read
// it. One set of rules for every CSV file the program reads (the table of an
// import, JOB.names.csv) and writes (the tables, JOB.names.csv):
//
// Reading: a header row, then one row per record; fields separated by a
// comma, a semicolon or a tab, and quoted as RFC 4180 allows (a quoted field
// may hold the delimiter, doubled quotes and line ends; blanks around it are
// dropped; a quote inside an unquoted field is an ordinary character); LF,
// CRLF or CR line ends; an optional UTF-8 byte-order mark. Blank lines are
// passed over: before the header, lines of nothing but blanks, tabs, commas
// and semicolons; below it, rows whose every field is empty or blanks (an
// empty line, or a spreadsheet's trailing ",,,").
//
// Writing: comma-separated, LF line ends, a text field in double quotes (a
// quote doubled within), NA for a missing value.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace locseq::formats::csv {

// A missing value as written.
inline constexpr std::string_view kMissing = "NA";

// Whether a field, trimmed of its blanks by the caller, is a missing value:
// empty, NA, ".", "-" or "*".
bool is_missing(std::string_view field);

// One row as it stands in the file.
struct Row {
  long line = 0;                    // physical line (1-based) on which the row starts
  std::vector<std::string> fields;  // the fields in order: quotes removed, "" undoubled, untrimmed
};

// Reads a CSV file row by row from bytes that the caller keeps alive.
class Reader {
 public:
  // Passes over a UTF-8 byte-order mark and the blank lines before the
  // header, settles the delimiter and reads the header row, if the file has
  // one. The delimiter is `delimiter` when given, else whichever of ',', ';'
  // and tab stands most often in the header line outside quotes. Throws
  // InputError (naming `file_name`) for a file in UTF-16, for a header with
  // none of the three or with two of them equally often, for a delimiter
  // other than the three, and for the faults `next` names.
  Reader(std::string_view bytes, std::string file_name, std::optional<char> delimiter);

  // Whether the file has a header row (it holds more than blank lines).
  bool has_header() const { return header_.line > 0; }
  // The header row (no fields when there is none).
  const Row& header() const { return header_; }
  // The delimiter in use.
  char delimiter() const { return delimiter_; }

  // Reads the next row below the header that is not blank into `row`;
  // false at the end of the bytes. Throws InputError for a quoted field
  // without its closing quote (at the line where the field starts) and for
  // text after a closing quote other than blanks (at the line where it
  // stands).
  bool next(Row& row);

 private:
  std::string_view bytes_;  // the whole file
  std::string file_name_;   // for messages
  std::size_t pos_ = 0;     // next byte to read
  long line_ = 1;           // physical line of bytes_[pos_]
  char delimiter_ = ',';    // field separator
  Row header_;              // the header row

  bool at_end() const { return pos_ >= bytes_.size(); }
  bool blank(char c) const { return c == ' ' || (c == '\t' && delimiter_ != '\t'); }
  bool skip_line_end();
  void skip_blank_lines();
  char detect_delimiter() const;
  void read_row(Row& row);
  void read_quoted(std::string& field);
  void read_plain(std::string& field);
};

// A text field: in double quotes, a quote doubled.
std::string quoted(std::string_view text);
void append_quoted(std::string& out, std::string_view text);

// One row to write: the fields (already quoted where they are text) joined
// by commas, then a line end.
class RowWriter {
 public:
  RowWriter& operator<<(std::string_view field);
  RowWriter& operator<<(std::int64_t v);
  RowWriter& operator<<(std::int32_t v) { return *this << static_cast<std::int64_t>(v); }
  std::string str() const { return text_ + '\n'; }

 private:
  std::string text_;
  bool first_ = true;
};

}  // namespace locseq::formats::csv
