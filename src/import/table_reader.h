// A delimited text table, as spreadsheets and databases export it: a header
// row, then one row per record; fields separated by a comma, a semicolon or
// a tab and quoted as RFC 4180 allows (a quoted field may hold the
// delimiter, doubled quotes and line ends); LF, CRLF or CR line ends; an
// optional UTF-8 byte-order mark.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace locseq::import {

// One row of a table as it stands in the file.
struct TableRow {
  long line = 0;                    // physical line (1-based) on which the row starts
  std::vector<std::string> fields;  // the fields in order: quotes removed, "" undoubled, untrimmed
};

// Whether every field of `row` is empty or blanks only (an empty line, or a
// spreadsheet's trailing ",,,").
bool is_blank_row(const TableRow& row);

// Reads a table row by row from bytes that the caller keeps alive.
class TableReader {
 public:
  // Passes over a UTF-8 byte-order mark and blank lines, settles the
  // delimiter and reads the header row. The delimiter is `delimiter` when
  // given, else whichever of ',', ';' and tab stands most often in the header
  // line outside quotes. Throws InputError (naming `file_name`) for a table in
  // UTF-16, for no header at all, for a header with none of the three or with
  // two of them equally often, for a delimiter other than the three, and for
  // the faults `next` names.
  TableReader(std::string_view bytes, std::string file_name, std::optional<char> delimiter);

  // The delimiter in use.
  char delimiter() const { return delimiter_; }

  // The header row.
  const TableRow& header() const { return header_; }

  // Reads the next row into `row` (blank rows included); returns false at the
  // end of the bytes. Throws InputError for a quoted field without its
  // closing quote (at the line where the field starts) and for text after a
  // closing quote other than blanks (at the line where it stands).
  bool next(TableRow& row);

 private:
  std::string_view bytes_;  // the whole table
  std::string file_name_;   // for messages
  std::size_t pos_ = 0;     // next byte to read
  long line_ = 1;           // physical line of bytes_[pos_]
  char delimiter_ = ',';    // field separator
  TableRow header_;         // the header row

  bool at_end() const { return pos_ >= bytes_.size(); }
  bool blank(char c) const { return c == ' ' || (c == '\t' && delimiter_ != '\t'); }
  bool skip_line_end();
  void skip_blank_lines();
  char detect_delimiter() const;
  void read_quoted(std::string& field);
  void read_plain(std::string& field);
};

}  // namespace locseq::import
