#include "formats/cls.h"

#include <algorithm>
#include <vector>

#include "core/input_error.h"
#include "formats/fusion_level.h"
#include "records/field_reader.h"
#include "records/free_format.h"
#include "records/record_writer.h"

namespace locseq::formats::cls {

namespace {

using records::Layout;
using records::Target;
using records::Value;

constexpr records::FreeFormat kFree{.repeat_counts = true};
constexpr Layout kTitle("(A)");
constexpr Layout kOptions("(4(5X,A1))");
constexpr Layout kIntegers("(30I4)");
constexpr Layout kBlockHeader("(I6,4X,A8)");
constexpr std::size_t kBeforeName = 10;  // the columns of I6 and 4X
constexpr Layout kHierarchyRecord("(3X,I4,2X,I4,2X,I4,1X,F10.3)");
// As written: D(ij) in the same ten columns, as many digits as fit.
constexpr Layout kHierarchyWritten("(3X,I4,2X,I4,2X,I4,1X,A10)");

std::string_view text(const char* s, std::size_t n) {
  return {s, n};
}

// Reads one record before the first block; the file must not end there.
// Keeps the record in `record` when asked.
void read_head_record(records::FileReader& cls, const Layout& layout,
                      std::span<const Target> fields, const std::string& what,
                      std::string* record = nullptr) {
  std::string_view line;
  if (!cls.next(line)) cls.fail_at(cls.line() + 1, "the file ends where " + what + " should stand");
  records::parse_fields(cls, line, layout, fields, what);
  if (record != nullptr) record->assign(line);
}

std::string block(std::int32_t step) {
  return "block " + std::to_string(step);
}

}  // namespace

Head read_head(records::FileReader& cls) {
  std::array<std::int32_t, 5> head{};
  records::read_free_integers(cls, head, "the run parameters (MAXY MAXL MAXG IYS IYF)", kFree);
  const std::array<const char*, 3> names = {"MAXY", "MAXL", "MAXG"};
  for (std::size_t k = 0; k < names.size(); ++k) {
    if (head[k] < 1) {
      cls.fail(std::string(names[k]) + " must be at least 1, but the run parameters give " +
               std::to_string(head[k]));
    }
  }
  return {head[0], head[1], head[2], head[3], head[4]};
}

void write_head(std::string& out, const Head& h) {
  for (std::int32_t v : {h.MAXY, h.MAXL, h.MAXG, h.IYS}) out += std::to_string(v) + ' ';
  out += std::to_string(h.IYF) + '\n';
}

std::string read_title(records::FileReader& cls) {
  std::array<char, kTitleColumns> title{};
  const Target field{std::span<char>(title)};
  read_head_record(cls, kTitle, {&field, 1}, "the job title");
  return {title.data(), title.size()};
}

void write_title(std::string& out, std::string_view title) {
  out.append(title).append(1, '\n');
}

Options read_options(records::FileReader& cls) {
  Options o{};
  std::string record;
  const std::array<Target, 4> fields = {std::span<char>(&o[0], 1), std::span<char>(&o[1], 1),
                                        std::span<char>(&o[2], 1), std::span<char>(&o[3], 1)};
  read_head_record(cls, kOptions, fields, "the options record", &record);
  for (std::size_t c = 0; c < record.size(); ++c) {
    if (record[c] != ' ' && (c + 1) % 6 != 0) {
      cls.warn(Warning::OptionColumns,
               "the options record has " + quoted(record.substr(c, 1)) + " in column " +
                   std::to_string(c + 1) +
                   "; only the letters in columns 6, 12, 18 and 24 are read");
      break;
    }
  }
  return o;
}

std::string options_record(const Options& o) {
  return records::format(kOptions,
                         {text(&o[0], 1), text(&o[1], 1), text(&o[2], 1), text(&o[3], 1)});
}

SequenceYears read_sequence_years(records::FileReader& cls) {
  SequenceYears years;
  const std::array<Target, 2> fields = {years.IYS, years.IYF};
  read_head_record(cls, kIntegers, fields, "the sequence-years record");
  return years;
}

std::string sequence_years_record(const SequenceYears& years) {
  return records::format(kIntegers, {years.IYS, years.IYF});
}

std::string integer_records(std::span<const std::int32_t> values) {
  return records::format(kIntegers, std::vector<Value>(values.begin(), values.end()));
}

bool read_block_header(records::FileReader& cls, BlockHeader& out) {
  const std::array<Target, 2> fields = {out.SequenceYear, std::span<char>(out.SequenceYearName)};
  return records::read_fields(cls, kBlockHeader, fields, "a block header");
}

std::string block_header_record(const BlockHeader& h) {
  return records::format(
      kBlockHeader, {h.SequenceYear, text(h.SequenceYearName.data(), h.SequenceYearName.size())});
}

void write_block_header(std::string& out, const BlockHeader& h) {
  std::string record = block_header_record(h);
  record.pop_back();  // the line end
  record.resize(std::max(kBeforeName, record.find_last_not_of(' ') + 1));
  out.append(record).append(1, '\n');
}

std::int32_t read_retained_count(records::FileReader& cls, std::int32_t step) {
  std::array<std::int32_t, 1> count{};
  records::read_free_integers(cls, count, "the retained count of " + block(step), kFree);
  return count[0];
}

void read_elimination_vector(records::FileReader& cls, std::span<std::int32_t> out,
                             std::int32_t step) {
  records::read_free_integers(cls, out, "the elimination vector of " + block(step), kFree);
}

void write_retained_count(std::string& out, std::int32_t count) {
  out += std::to_string(count) + '\n';
}

void write_elimination_vector(std::string& out, std::span<const std::int32_t> entries) {
  out += integer_records(entries);
}

HierarchyRecord read_hierarchy_record(records::FileReader& cls, std::int32_t step, std::int32_t r,
                                      std::int32_t expected) {
  HierarchyRecord h;
  const std::array<Target, 4> fields = {h.Gpi, h.Gpj, h.Gpij, h.D};
  const std::string what = "hierarchy record " + std::to_string(r) + " of " + block(step);
  if (!records::read_fields(cls, kHierarchyRecord, fields, what)) {
    cls.fail_at(cls.line() + 1,
                "the file ends before " + what + " (" + std::to_string(expected) + " expected)");
  }
  return h;
}

void write_hierarchy_record(std::string& out, std::int32_t Gpi, std::int32_t Gpj, std::int32_t Gpij,
                            double level) {
  const std::string field = fusion_level_field(level);
  records::format(out, kHierarchyWritten, {Gpi, Gpj, Gpij, std::string_view(field)});
}

}  // namespace locseq::formats::cls
