#include "import/job_files.h"

#include <charconv>

#include "formats/names_file.h"
#include "import/values.h"

namespace locseq::import {

namespace {

void append_number(std::string& out, std::int64_t n) {
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, n);
  out.append(buf, r.ptr);
}

}  // namespace

std::string naq_text(std::string_view table_name, const JobNames& names) {
  std::string out = "Imported from ";
  for (char c : table_name) out += static_cast<unsigned char>(c) < 0x20 || c == 0x7f ? '?' : c;
  out += '\n';
  const char* const kPlural[3] = {" years, ", " locations, ", " genotypes\n"};
  for (std::size_t k = 0; k < names.size(); ++k) {
    append_number(out, static_cast<std::int64_t>(names[k].list->full.size()));
    out += kPlural[k];
  }
  for (const KindNames& kind : names) {
    for (const std::string& name : kind.short_names->names) {
      out += name;
      out += '\n';
    }
  }
  return out;
}

std::string seq_text(const std::vector<Cell>& cells) {
  std::string out;
  out.reserve(cells.size() * 16);
  for (const Cell& c : cells) {
    append_number(out, c.year);
    out += ' ';
    append_number(out, c.location);
    out += ' ';
    append_number(out, c.genotype);
    out += ' ';
    append_value(out, c.value);
    out += '\n';
  }
  return out;
}

std::string names_csv_text(const JobNames& names) {
  std::string out;
  std::array<formats::names_file::KindNames, 3> kinds;
  for (std::size_t k = 0; k < kinds.size(); ++k) {
    kinds[k] = {names[k].short_names->names, names[k].list->full};
  }
  formats::names_file::write(out, kinds);
  return out;
}

}  // namespace locseq::import
