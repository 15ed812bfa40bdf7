#include "import/job_files.h"

#include <charconv>

#include "formats/names_file.h"
#include "formats/naq.h"
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
  std::string out;
  formats::naq::write(
      out, "Imported from " + std::string(table_name),
      {names[0].short_names->names, names[1].short_names->names, names[2].short_names->names});
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
