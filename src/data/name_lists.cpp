#include "data/name_lists.h"

#include <string>
#include <vector>

#include "records/field_reader.h"

namespace locseq {

namespace {

constexpr records::Layout kSkipTwo("(/)");
constexpr records::Layout kName("(A)");
constexpr records::Layout kEcho("(1X,10A8)");

void read_list(Vec<Name8> names, const char* kind, std::int64_t needed, records::FileReader& naq) {
  for (long k = 1; k <= names.size(); ++k) {
    const records::Target name{std::span<char>(names(k))};
    if (!records::read_fields(naq, kName, {&name, 1}, "a name")) {
      naq.fail_at(naq.line() + 1, "the file ends before the name of " + std::string(kind) + " " +
                                      std::to_string(k) + "; it needs 2 + MAXY + MAXL + MAXG = " +
                                      std::to_string(needed) + " records");
    }
  }
}

}  // namespace

void ReadNameLists(const NameLists& names, records::FileReader& naq) {
  if (!records::read_fields(naq, kSkipTwo, {}, "the first two records")) {
    naq.fail_at(1, "the file is empty; it needs two records before the names");
  }
  const std::int64_t needed =
      2 + names.YearNames.size() + names.LocationNames.size() + names.GenotypeNames.size();
  read_list(names.YearNames, "year", needed, naq);
  read_list(names.LocationNames, "location", needed, naq);
  read_list(names.GenotypeNames, "genotype", needed, naq);
}

void write_names(std::span<const Name8> names, records::Unit& sco) {
  std::vector<records::Value> values;
  values.reserve(names.size());
  for (const Name8& name : names) values.emplace_back(std::string_view(name.data(), name.size()));
  sco.write(kEcho, values);
}

}  // namespace locseq
