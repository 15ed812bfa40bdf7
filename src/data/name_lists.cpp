#include "data/name_lists.h"

#include <string>
#include <vector>

#include "records/field_reader.h"

namespace locseq {

namespace {

constexpr records::Layout kName("(A)");
constexpr records::Layout kEcho("(1X,10A8)");

void read_list(Vec<Name8> names, std::int32_t count, const char* kind, std::int64_t needed,
               records::RecordReader& naq) {
  for (std::int32_t k = 1; k <= count; ++k) {
    const records::Target name{std::span<char>(names(k))};
    if (!records::read_fields(naq, kName, {&name, 1}, "a name")) {
      naq.fail_at(naq.line() + 1, "the file ends before the name of " + std::string(kind) + " " +
                                      std::to_string(k) + "; it needs 2 + MAXY + MAXL + MAXG = " +
                                      std::to_string(needed) + " records");
    }
  }
}

void echo(Vec<Name8> names, std::int32_t count, records::Unit& sco) {
  std::vector<records::Value> values;
  values.reserve(static_cast<std::size_t>(count));
  for (std::int32_t k = 1; k <= count; ++k)
    values.emplace_back(std::string_view(names(k).data(), 8));
  sco.write(kEcho, values);
}

}  // namespace

void ReadNameLists(Vec<Name8> YearNames, Vec<Name8> LocationNames, Vec<Name8> GenotypeNames,
                   std::int32_t MAXY, std::int32_t MAXL, std::int32_t MAXG,
                   records::RecordReader& naq, records::Unit& sco) {
  const std::int64_t needed = 2 + std::int64_t{MAXY} + MAXL + MAXG;
  read_list(YearNames, MAXY, "year", needed, naq);
  read_list(LocationNames, MAXL, "location", needed, naq);
  read_list(GenotypeNames, MAXG, "genotype", needed, naq);
  echo(YearNames, MAXY, sco);
  echo(LocationNames, MAXL, sco);
  echo(GenotypeNames, MAXG, sco);
}

}  // namespace locseq
