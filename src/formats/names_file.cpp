#include "formats/names_file.h"

#include <charconv>
#include <vector>

#include "core/input_error.h"
#include "formats/csv.h"

namespace locseq::formats::names_file {

namespace {

// The header as one text, for messages.
std::string header_text() {
  std::string text;
  for (std::string_view column : kHeader) text.append(text.empty() ? "" : ",").append(column);
  return text;
}

}  // namespace

void write(std::string& out, const std::array<KindNames, 3>& names) {
  out += header_text() + '\n';
  for (std::size_t k = 0; k < kKinds.size(); ++k) {
    const KindNames& kind = names[k];
    for (std::size_t n = 0; n < kind.full.size(); ++n) {
      csv::RowWriter row;
      row << csv::quoted(kKinds[k]) << static_cast<std::int64_t>(n + 1)
          << csv::quoted(kind.names[n]) << csv::quoted(kind.full[n]);
      out += row.str();
    }
  }
}

FullNames read(std::string_view bytes, const std::string& file) {
  csv::Reader reader(bytes, file, ',');
  const csv::Row& header = reader.header();
  if (!std::equal(header.fields.begin(), header.fields.end(), kHeader.begin(), kHeader.end())) {
    throw InputError(file, reader.has_header() ? header.line : 1,
                     "expected the header " + header_text());
  }
  FullNames out;
  for (csv::Row row; reader.next(row);) {
    if (row.fields.size() != kHeader.size()) {
      throw InputError(file, row.line,
                       "expected 4 fields, found " + std::to_string(row.fields.size()));
    }
    const std::string& kind = row.fields[0];
    std::map<std::int32_t, std::string>* names = kind == kKinds[0]   ? &out.years
                                                 : kind == kKinds[1] ? &out.locations
                                                 : kind == kKinds[2] ? &out.genotypes
                                                                     : nullptr;
    if (!names) {
      throw InputError(file, row.line,
                       "kind must be year, location or genotype, not " + locseq::quoted(kind));
    }
    const std::string& text_number = row.fields[1];
    std::int32_t number = 0;
    const auto res =
        std::from_chars(text_number.data(), text_number.data() + text_number.size(), number);
    if (res.ec != std::errc{} || res.ptr != text_number.data() + text_number.size() || number < 1) {
      throw InputError(
          file, row.line,
          "the number must be a whole number from 1, not " + locseq::quoted(text_number));
    }
    if (!names->emplace(number, row.fields[3]).second) {
      throw InputError(file, row.line, kind + " " + text_number + " is named twice");
    }
  }
  return out;
}

}  // namespace locseq::formats::names_file
