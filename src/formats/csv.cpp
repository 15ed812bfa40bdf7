#include "formats/csv.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <utility>

#include "core/input_error.h"

namespace locseq::formats::csv {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

bool starts_with_utf16_mark(std::string_view bytes) {
  return bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF");
}

std::string delimiter_name(char d) {
  return d == '\t' ? "tab" : std::string("'") + d + "'";
}

// Whether every field of `row` is empty or blanks only.
bool is_blank_row(const Row& row) {
  return std::all_of(row.fields.begin(), row.fields.end(), [](const std::string& f) {
    return f.find_first_not_of(" \t") == std::string::npos;
  });
}

}  // namespace

bool is_missing(std::string_view field) {
  return field.empty() || field == kMissing || field == "." || field == "-" || field == "*";
}

Reader::Reader(std::string_view bytes, std::string file_name, std::optional<char> delimiter)
    : bytes_(bytes), file_name_(std::move(file_name)) {
  if (starts_with_utf16_mark(bytes_)) {
    throw InputError(file_name_, 1, "the table is in UTF-16; save it as UTF-8 text");
  }
  if (bytes_.starts_with(kUtf8Mark)) pos_ = kUtf8Mark.size();
  skip_blank_lines();
  if (at_end()) return;
  if (delimiter) {
    if (*delimiter != ',' && *delimiter != ';' && *delimiter != '\t') {
      throw InputError(
          file_name_, 0,
          "the delimiter must be ',', ';' or a tab, not " + delimiter_name(*delimiter));
    }
    delimiter_ = *delimiter;
  } else {
    delimiter_ = detect_delimiter();
  }
  read_row(header_);
}

// Consumes a line end (LF, CRLF or a lone CR) at pos_, if one stands there.
bool Reader::skip_line_end() {
  if (at_end()) return false;
  if (bytes_[pos_] == '\n') {
    ++pos_;
  } else if (bytes_[pos_] == '\r') {
    ++pos_;
    if (!at_end() && bytes_[pos_] == '\n') ++pos_;
  } else {
    return false;
  }
  ++line_;
  return true;
}

// Passes over lines of nothing but blanks, tabs, commas and semicolons: no
// header stands there, whatever the delimiter.
void Reader::skip_blank_lines() {
  while (!at_end()) {
    std::size_t p = pos_;
    while (p < bytes_.size() &&
           std::string_view(" \t,;").find(bytes_[p]) != std::string_view::npos) {
      ++p;
    }
    std::size_t keep = pos_;
    pos_ = p;
    if (!skip_line_end()) {
      if (!at_end()) pos_ = keep;  // a line with something on it: the header
      return;
    }
  }
}

// The delimiter that stands most often in the header line outside quotes.
char Reader::detect_delimiter() const {
  constexpr std::array<char, 3> kCandidates = {',', ';', '\t'};
  std::array<long, 3> counts{};
  bool quoted = false;
  for (std::size_t p = pos_; p < bytes_.size(); ++p) {
    char c = bytes_[p];
    if (c == '"') quoted = !quoted;  // a doubled quote toggles twice
    if (quoted) continue;
    if (c == '\n' || c == '\r') break;
    for (std::size_t k = 0; k < kCandidates.size(); ++k) counts[k] += c == kCandidates[k];
  }
  std::size_t best =
      static_cast<std::size_t>(std::max_element(counts.begin(), counts.end()) - counts.begin());
  if (counts[best] == 0) {
    throw InputError(file_name_, line_,
                     "the header has no comma, semicolon or tab between its column names");
  }
  for (std::size_t k = 0; k < kCandidates.size(); ++k) {
    if (k != best && counts[k] == counts[best]) {
      throw InputError(file_name_, line_,
                       "the header has as many " + delimiter_name(kCandidates[std::min(k, best)]) +
                           " as " + delimiter_name(kCandidates[std::max(k, best)]) +
                           ": name the delimiter with --delimiter");
    }
  }
  return kCandidates[best];
}

// A quoted field: from the opening quote at pos_ to its closing quote, then
// blanks up to the delimiter or the line end.
void Reader::read_quoted(std::string& field) {
  long start_line = line_;
  ++pos_;
  for (;;) {
    if (at_end()) {
      throw InputError(file_name_, start_line, "a quoted field is not closed");
    }
    char c = bytes_[pos_];
    if (c == '"') {
      ++pos_;
      if (at_end() || bytes_[pos_] != '"') break;
      field += '"';
      ++pos_;
    } else if (c == '\n' || c == '\r') {
      std::size_t from = pos_;
      skip_line_end();
      field.append(bytes_.substr(from, pos_ - from));
    } else {
      field += c;
      ++pos_;
    }
  }
  while (!at_end() && blank(bytes_[pos_])) ++pos_;
  if (!at_end() && bytes_[pos_] != delimiter_ && bytes_[pos_] != '\n' && bytes_[pos_] != '\r') {
    throw InputError(
        file_name_, line_,
        "text after the closing quote of a field, near " +
            locseq::quoted(bytes_.substr(pos_, bytes_.find_first_of("\r\n", pos_) - pos_)));
  }
}

// An unquoted field: everything up to the delimiter or the line end (a quote
// inside it is an ordinary character).
void Reader::read_plain(std::string& field) {
  std::size_t end = pos_;
  while (end < bytes_.size() && bytes_[end] != delimiter_ && bytes_[end] != '\n' &&
         bytes_[end] != '\r') {
    ++end;
  }
  field.append(bytes_.substr(pos_, end - pos_));
  pos_ = end;
}

bool Reader::next(Row& row) {
  do {
    if (at_end()) return false;
    read_row(row);
  } while (is_blank_row(row));
  return true;
}

void Reader::read_row(Row& row) {
  row.line = line_;
  row.fields.clear();
  for (;;) {
    std::string& field = row.fields.emplace_back();
    std::size_t p = pos_;
    while (p < bytes_.size() && blank(bytes_[p])) ++p;
    if (p < bytes_.size() && bytes_[p] == '"') {
      pos_ = p;
      read_quoted(field);
    } else {
      read_plain(field);
    }
    if (at_end() || skip_line_end()) return;
    ++pos_;  // the delimiter
  }
}

std::string quoted(std::string_view text) {
  std::string out;
  append_quoted(out, text);
  return out;
}

void append_quoted(std::string& out, std::string_view text) {
  out += '"';
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

RowWriter& RowWriter::operator<<(std::string_view field) {
  if (!first_) text_ += ',';
  first_ = false;
  text_ += field;
  return *this;
}

RowWriter& RowWriter::operator<<(std::int64_t v) {
  char buf[24];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return *this << std::string_view(buf, static_cast<std::size_t>(r.ptr - buf));
}

}  // namespace locseq::formats::csv
