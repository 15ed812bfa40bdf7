#include "data/name_lists.h"

#include <map>
#include <string>
#include <vector>

#include "core/input_error.h"
#include "records/field_reader.h"

namespace locseq {

namespace {

constexpr records::Layout kSkipTwo("(/)");
constexpr records::Layout kName("(A)");
constexpr records::Layout kEcho("(1X,10A8)");

// Reads the names of one kind; warns of a name longer than its 8 columns.
void read_list(Vec<Name8> names, const char* kind, std::int64_t needed, records::FileReader& naq) {
  std::string_view record;
  for (long k = 1; k <= names.size(); ++k) {
    if (!naq.next(record)) {
      naq.fail_at(naq.line() + 1, "the file ends before the name of " + std::string(kind) + " " +
                                      std::to_string(k) + "; it needs 2 + MAXY + MAXL + MAXG = " +
                                      std::to_string(needed) + " records");
    }
    const records::Target name{std::span<char>(names(k))};
    records::parse_fields(naq, record, kName, {&name, 1}, "a name");
    const std::string_view full = record.substr(0, record.find_last_not_of(' ') + 1);
    if (full.size() > names(k).size()) {
      naq.warn(Warning::LongName, "the name of " + std::string(kind) + " " + std::to_string(k) +
                                      ", " + quoted(full) + ", is longer than 8 characters; " +
                                      quoted(full.substr(0, 8)) + " is used");
    }
  }
}

// Warns of names of one kind that are the same in their 8 characters.
void check_distinct(Vec<const Name8> names, const char* kind, long first_line,
                    const records::FileReader& naq) {
  std::map<std::string_view, long> seen;
  for (long k = 1; k <= names.size(); ++k) {
    const std::string_view name(names(k).data(), names(k).size());
    auto [at, fresh] = seen.emplace(name, k);
    if (fresh) continue;
    naq.warn_at(first_line + k - 1, Warning::CoincidingNames,
                std::string(kind) + "s " + std::to_string(at->second) + " and " +
                    std::to_string(k) + " have the same name, " +
                    quoted(name.substr(0, name.find_last_not_of(' ') + 1)) +
                    ", in their 8 characters");
  }
}

}  // namespace

void ReadNameLists(const NameLists& names, records::FileReader& naq) {
  if (!records::read_fields(naq, kSkipTwo, {}, "the first two records")) {
    naq.fail_at(1, "the file is empty; it needs two records before the names");
  }
  ReadNames(names, naq);
}

void ReadNames(const NameLists& names, records::FileReader& naq) {
  const std::int64_t needed =
      2 + names.YearNames.size() + names.LocationNames.size() + names.GenotypeNames.size();
  const long first = naq.line() + 1;
  read_list(names.YearNames, "year", needed, naq);
  read_list(names.LocationNames, "location", needed, naq);
  read_list(names.GenotypeNames, "genotype", needed, naq);
  check_distinct(names.YearNames, "year", first, naq);
  check_distinct(names.LocationNames, "location", first + names.YearNames.size(), naq);
  check_distinct(names.GenotypeNames, "genotype",
                 first + names.YearNames.size() + names.LocationNames.size(), naq);
}

void write_names(std::span<const Name8> names, records::Unit& sco) {
  std::vector<records::Value> values;
  values.reserve(names.size());
  for (const Name8& name : names) values.emplace_back(std::string_view(name.data(), name.size()));
  sco.write(kEcho, values);
}

}  // namespace locseq
