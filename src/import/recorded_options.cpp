#include "import/recorded_options.h"

#include <array>

namespace locseq::import {

namespace {

constexpr std::array<std::string_view, 7> kKeys = {"encoding", "na",     "decimal",   "fold_names",
                                                   "wide",     "ignore", "replicates"};
constexpr std::array<std::string_view, 3> kDecimal = {"auto", "point", "comma"};
constexpr std::array<std::string_view, 3> kWide = {"no", "location", "genotype"};

// The index of `value` in `words`, or none.
template <std::size_t N>
std::optional<std::size_t> index_of(const std::array<std::string_view, N>& words,
                                    std::string_view value) {
  for (std::size_t k = 0; k < N; ++k) {
    if (words[k] == value) return k;
  }
  return std::nullopt;
}

std::optional<bool> yes_no(std::string_view value) {
  if (value == "yes") return true;
  if (value == "no") return false;
  return std::nullopt;
}

}  // namespace

std::vector<Setting> recorded_options(const ImportOptions& o) {
  std::vector<Setting> out;
  out.emplace_back("encoding", formats::text::encoding_name(o.encoding));
  for (const std::string& na : o.na) out.emplace_back("na", na);
  out.emplace_back("decimal", kDecimal[static_cast<std::size_t>(o.decimal)]);
  out.emplace_back("fold_names", o.fold_names ? "yes" : "no");
  out.emplace_back("wide", kWide[static_cast<std::size_t>(o.wide)]);
  for (const std::string& column : o.ignore) out.emplace_back("ignore", column);
  out.emplace_back("replicates", o.replicates_mean ? "mean" : "error");
  return out;
}

bool is_import_key(std::string_view key) {
  return index_of(kKeys, key).has_value();
}

bool apply_recorded_option(ImportOptions& o, std::string_view key, std::string_view value) {
  if (key == "na" || key == "ignore") {
    (key == "na" ? o.na : o.ignore).emplace_back(value);
    return true;
  }
  if (key == "encoding") {
    const auto encoding = formats::text::encoding_named(value);
    if (encoding) o.encoding = *encoding;
    return encoding.has_value();
  }
  if (key == "decimal" || key == "wide") {
    const auto k = key == "decimal" ? index_of(kDecimal, value) : index_of(kWide, value);
    if (!k) return false;
    if (key == "decimal") {
      o.decimal = static_cast<DecimalMark>(*k);
    } else {
      o.wide = static_cast<Wide>(*k);
    }
    return true;
  }
  const auto on = key == "fold_names" ? yes_no(value)
                  : key == "replicates" && (value == "mean" || value == "error")
                      ? std::optional<bool>(value == "mean")
                      : std::nullopt;
  if (!on) return false;
  (key == "fold_names" ? o.fold_names : o.replicates_mean) = *on;
  return true;
}

}  // namespace locseq::import
