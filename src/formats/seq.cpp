#include "formats/seq.h"

#include <array>
#include <charconv>

#include "core/input_error.h"
#include "records/free_format.h"
#include "records/numbers.h"

namespace locseq::formats::seq {

namespace {

constexpr std::string_view kFieldNames[4] = {
    "the year (field 1) of the observation", "the location (field 2) of the observation",
    "the genotype (field 3) of the observation", "the value (field 4) of the observation"};

bool blank(char c) {
  return c == ' ' || c == '\t';
}

bool blank_line(std::string_view line) {
  return line.find_first_not_of(" \t") == std::string_view::npos;
}

void append_number(std::string& out, std::int32_t n) {
  char buf[16];
  const auto r = std::to_chars(buf, buf + sizeof buf, n);
  out.append(buf, r.ptr);
}

}  // namespace

Line parse_line(std::string_view line, Observation& out, const records::RecordSource& seq) {
  out.more_numbers = false;
  records::FreeScanner scanner(seq, records::FreeFormat{});
  scanner.start(line);
  std::int32_t* const integers[3] = {&out.year, &out.location, &out.genotype};
  std::string_view token;
  std::int32_t repeat = 1;
  for (std::size_t field = 0; field < 4; ++field) {
    const records::FreePlace place{kFieldNames[field]};
    if (!scanner.next(token, repeat, place)) return field == 0 ? Line::Blank : Line::Short;
    const records::NumberStatus s = field < 3 ? records::parse_integer(token, *integers[field])
                                              : records::parse_real(token, out.value);
    if (s == records::NumberStatus::Ok) continue;
    const bool out_of_range = s == records::NumberStatus::OutOfRange;
    if (field < 3) records::refuse_integer(seq, token, out_of_range, place);
    records::refuse_real(seq, token, out_of_range, place);
  }
  out.more_numbers = holds_a_number(scanner.rest());
  return Line::Record;
}

bool holds_a_number(std::string_view rest) {
  std::size_t i = 0;
  while (i < rest.size()) {
    while (i < rest.size() && (blank(rest[i]) || rest[i] == ',' || rest[i] == '\r')) ++i;
    const std::size_t start = i;
    while (i < rest.size() && !blank(rest[i]) && rest[i] != ',' && rest[i] != '\r') ++i;
    float v = 0.0f;
    if (i > start &&
        records::parse_real(rest.substr(start, i - start), v) != records::NumberStatus::Malformed) {
      return true;
    }
  }
  return false;
}

bool Scanner::next(Observation& out) {
  std::string_view line;
  for (;;) {
    start_ = seq_.tell();
    if (!seq_.next(line)) return false;
    if (seq_.unterminated()) warn_no_line_end(seq_);
    const Line kind =
        short_cut_ != nullptr && short_cut_(line, out) ? Line::Record : parse_line(line, out, seq_);
    switch (kind) {
      case Line::Blank:
        continue;
      case Line::Short:
        end_at_short_record();
        return false;
      case Line::Record:
        if (out.more_numbers) warn_more_numbers(seq_, out.value);
        return true;
    }
  }
}

// After a record with fewer than four numbers: the end of the data when only
// blank lines follow, else an error at the record.
void Scanner::end_at_short_record() {
  const long short_line = seq_.line();
  const bool line_end = !seq_.unterminated();
  std::string_view line;
  while (seq_.next(line)) {
    if (!blank_line(line)) {
      seq_.step_back();
      seq_.fail_at(short_line, "fewer than four numbers (year, location, genotype, value)");
    }
    if (seq_.unterminated()) warn_no_line_end(seq_);
  }
  // Without a line end the record was warned of as the file's last line.
  if (line_end) {
    seq_.warn_at(short_line, Warning::ShortLastRecord,
                 "the last record has fewer than four numbers: the file seems cut short, and the "
                 "run reads it as the end of the data");
  }
}

void YearOrder::warn(const records::FileReader& seq, std::int32_t year) const {
  seq.warn(Warning::OutOfOrder, "a record of year " + std::to_string(year) + " after one of year " +
                                    std::to_string(highest_) +
                                    ": the file is not in year order, so it is skipped");
}

void warn_more_numbers(const records::FileReader& seq, float value) {
  char text[32];
  const auto written = std::to_chars(text, text + sizeof text, value);
  seq.warn(Warning::ExtraNumbers, "more than four numbers on the line: the value read is " +
                                      std::string(text, written.ptr) +
                                      " and the rest is ignored (a decimal comma, as in 9,70, "
                                      "makes two numbers of one; write 9.70)");
}

void warn_no_line_end(const records::FileReader& seq) {
  seq.warn(Warning::NoLineEnd, "the file ends in the middle of its last line (no line end)");
}

std::string year_fault(std::int32_t year, std::int32_t MAXY) {
  if (year >= 1 && year <= MAXY) return {};
  return "year " + std::to_string(year) + " is outside 1 to MAXY (" + std::to_string(MAXY) + ")";
}

std::string cell_fault(const Observation& obs, std::int32_t MAXL, std::int32_t MAXG) {
  if (obs.location < 1 || obs.location > MAXL) {
    return "location " + std::to_string(obs.location) + " is outside 1 to MAXL (" +
           std::to_string(MAXL) + ")";
  }
  if (obs.genotype < 1 || obs.genotype > MAXG) {
    return "genotype " + std::to_string(obs.genotype) + " is outside 1 to MAXG (" +
           std::to_string(MAXG) + ")";
  }
  return {};
}

void write_record(std::string& out, std::int32_t year, std::int32_t location, std::int32_t genotype,
                  float value) {
  append_number(out, year);
  out += ' ';
  append_number(out, location);
  out += ' ';
  append_number(out, genotype);
  out += ' ';
  std::array<char, 32> buf;
  const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), value);
  out.append(buf.data(), r.ptr);
  out += '\n';
}

}  // namespace locseq::formats::seq
