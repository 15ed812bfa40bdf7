// Fuzz target: the table import. The first byte picks the options
// (options_from); the rest is the table. InputError is an expected outcome;
// on success the job files must be what the run reads: counts that match
// the .NAQ names, 8-byte names unique within their kind and UTF-8, .SEQ
// records sorted and in range whose values read back to themselves, and a
// names file in UTF-8.
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "core/input_error.h"
#include "formats/text_encoding.h"
#include "import/importer.h"
#include "records/numbers.h"

namespace {

using namespace locseq;

void require(bool ok, const std::string& what) {
  if (!ok) throw std::runtime_error("import: " + what);
}

std::vector<std::string> lines_of(const std::string& text) {
  require(text.empty() || text.back() == '\n', "a file that does not end in a line end");
  std::vector<std::string> out;
  std::size_t from = 0;
  for (std::size_t nl; (nl = text.find('\n', from)) != std::string::npos; from = nl + 1) {
    out.push_back(text.substr(from, nl - from));
  }
  return out;
}

void check_naq(const import::ImportedJob& job) {
  std::vector<std::string> lines = lines_of(job.naq);
  require(lines.size() == 2u + static_cast<std::size_t>(job.MAXY + job.MAXL + job.MAXG),
          "counts that differ from the .NAQ names");
  require(lines[1] == std::to_string(job.MAXY) + " years, " + std::to_string(job.MAXL) +
                          " locations, " + std::to_string(job.MAXG) + " genotypes",
          "a wrong counts line");
  std::size_t at = 2;
  for (std::int32_t count : {job.MAXY, job.MAXL, job.MAXG}) {
    std::set<std::string> seen;
    for (std::int32_t k = 0; k < count; ++k, ++at) {
      const std::string& name = lines[at];
      require(!name.empty() && name.size() <= 8 && name.back() != ' ' && name.front() != ' ',
              "a name that is not 1 to 8 bytes without outer blanks: " + name);
      require(seen.insert(name).second, "a name given twice: " + name);
      require(formats::text::is_utf8(name), "a name that is not UTF-8: " + name);
    }
  }
  require(job.year_names.size() == static_cast<std::size_t>(job.MAXY), "year names miscounted");
}

void check_seq(const import::ImportedJob& job) {
  std::vector<std::string> lines = lines_of(job.seq);
  require(lines.size() == static_cast<std::size_t>(job.observations), "observations miscounted");
  std::tuple<std::int32_t, std::int32_t, std::int32_t> last{0, 0, 0};
  for (const std::string& line : lines) {
    std::istringstream in(line);
    std::string tokens[4], extra;
    in >> tokens[0] >> tokens[1] >> tokens[2] >> tokens[3];
    require(!tokens[3].empty() && !(in >> extra), "not four fields: " + line);
    std::int32_t key[3];
    for (int k = 0; k < 3; ++k) {
      require(records::parse_integer(tokens[k], key[k]) == records::NumberStatus::Ok, line);
    }
    require(key[0] >= 1 && key[0] <= job.MAXY && key[1] >= 1 && key[1] <= job.MAXL && key[2] >= 1 &&
                key[2] <= job.MAXG,
            "a number out of range: " + line);
    auto here = std::make_tuple(key[0], key[1], key[2]);
    require(here > last, "records not sorted or repeated: " + line);
    last = here;
    float v = 0.0f;
    require(records::parse_real(tokens[3], v) == records::NumberStatus::Ok, "unread: " + line);
    char again[32];
    auto r = std::to_chars(again, again + sizeof again, v);
    require(std::string_view(again, static_cast<std::size_t>(r.ptr - again)) == tokens[3],
            "a value that does not read back to itself: " + line);
  }
}

// The options the first byte picks: bits 0-1 the delimiter (or none), 2
// replicates mean, 3 rename, 4 a location column named "site", 5 fold
// names, 6-7 wide by location, wide by genotype (ignoring "notes"), or
// Windows-1252 with n/a missing and a decimal comma.
import::ImportOptions options_from(std::uint8_t b){import::ImportOptions o;
const char kDelimiters[4] = {0, ',', ';', '\t'};
if (b & 3) o.delimiter = kDelimiters[b & 3];
o.replicates_mean = (b & 4) != 0;
o.rename = (b & 8) != 0;
if (b & 16) o.location_column = "site";
o.fold_names = (b & 32) != 0;
switch (b >> 6) {
  case 1:
    o.wide = import::Wide::Location;
    break;
  case 2:
    o.wide = import::Wide::Genotype;
    o.ignore = {"notes"};
    break;
  case 3:
    o.encoding = formats::text::Encoding::Cp1252;
    o.na = {"n/a"};
    o.decimal = import::DecimalMark::Comma;
    break;
}
return o;
}  // namespace

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  std::string_view table(reinterpret_cast<const char*>(data) + 1, size - 1);
  import::ImportedJob job;
  try {
    job = import::import_table(table, "fuzz.csv", options_from(data[0]));
  } catch (const InputError&) {
    return 0;
  }
  check_naq(job);
  check_seq(job);
  require(lines_of(job.names_csv).size() ==
              1u + static_cast<std::size_t>(job.MAXY + job.MAXL + job.MAXG),
          "the names file has a row per name");
  require(formats::text::is_utf8(job.names_csv), "a names file that is not UTF-8");
  return 0;
}
