#include "formats/naq.h"

#include <charconv>
#include <map>
#include <string>
#include <vector>

#include "core/input_error.h"
#include "records/field_reader.h"

namespace locseq::formats::naq {

namespace {

constexpr records::Layout kName("(A)");
constexpr std::string_view kSizeWords[3] = {" years, ", " locations, ", " genotypes"};

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

std::string read_heading(records::FileReader& naq) {
  std::string_view record;
  if (!naq.next(record)) naq.fail_at(1, "the file is empty; it needs two records before the names");
  if (!naq.next(record)) naq.fail_at_end("the first two records");
  return std::string(record);
}

std::optional<Sizes> parse_sizes(std::string_view s) {
  Sizes out{};
  for (std::size_t k = 0; k < out.size(); ++k) {
    if (s.empty() || s[0] < '0' || s[0] > '9') return std::nullopt;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), out[k]);
    if (r.ec != std::errc()) return std::nullopt;
    s.remove_prefix(static_cast<std::size_t>(r.ptr - s.data()));
    if (!s.starts_with(kSizeWords[k])) return std::nullopt;
    s.remove_prefix(kSizeWords[k].size());
  }
  if (s.find_first_not_of(' ') != std::string_view::npos) return std::nullopt;
  return out;
}

std::string sizes_record(const Sizes& sizes) {
  std::string out;
  for (std::size_t k = 0; k < sizes.size(); ++k) {
    out.append(std::to_string(sizes[k])).append(kSizeWords[k]);
  }
  return out;
}

void read_name_lists(records::FileReader& naq, const NameLists& names) {
  read_heading(naq);
  read_names(naq, names);
}

void read_names(records::FileReader& naq, const NameLists& names) {
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

void write(std::string& out, std::string_view title,
           const std::array<std::span<const std::string>, 3>& names) {
  for (char c : title) out += static_cast<unsigned char>(c) < 0x20 || c == 0x7f ? '?' : c;
  out += '\n';
  Sizes sizes{};
  for (std::size_t k = 0; k < names.size(); ++k) {
    sizes[k] = static_cast<std::int32_t>(names[k].size());
  }
  out += sizes_record(sizes) + '\n';
  for (std::span<const std::string> kind : names) {
    for (const std::string& name : kind) out.append(name).append(1, '\n');
  }
}

}  // namespace locseq::formats::naq
