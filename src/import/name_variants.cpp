#include "import/name_variants.h"

#include <charconv>
#include <cmath>
#include <unordered_map>

#include "core/input_error.h"
#include "import/name_keys.h"

namespace locseq::import {

namespace {

// Warnings or notes of one kind shown one by one; the rest counted.
constexpr std::size_t kShown = 10;

// A number's key: a byte no name holds, then its shortest text.
constexpr char kNumberKey = '\x01';

std::string whole(const std::string& name) {
  return "'" + name + "'";
}

// The key of a spelling: for a year name that is a number, the number.
std::string key_of(const std::string& name, bool year) {
  double number = 0.0;
  const auto r = std::from_chars(name.data(), name.data() + name.size(), number);
  if (year && r.ec == std::errc() && r.ptr == name.data() + name.size() && std::isfinite(number)) {
    char text[32];
    const auto w = std::to_chars(text, text + sizeof text, number == 0.0 ? 0.0 : number);
    return kNumberKey + std::string(text, w.ptr);
  }
  return name_key(name);
}

}  // namespace

SettledNames settle_spellings(const NameList& spellings, bool fold, const std::string& file_name,
                              std::vector<TableWarning>& warnings,
                              std::vector<std::string>& notes) {
  const bool year = spellings.kind == "year";
  SettledNames out;
  out.list.kind = spellings.kind;
  out.number.resize(spellings.full.size());
  std::unordered_map<std::string, std::size_t> first;  // key -> its first spelling
  std::size_t told = 0;                                // warnings or notes written
  for (std::size_t i = 0; i < spellings.full.size(); ++i) {
    const std::string& name = spellings.full[i];
    const long line = spellings.first_line[i];
    const std::string key = key_of(name, year);
    const auto [at, fresh] = first.emplace(key, i);
    const std::size_t j = at->second;
    const bool number = key[0] == kNumberKey;
    if (!fresh && fold) {
      out.number[i] = out.number[j];
      out.merged = true;
      if (++told <= kShown) {
        notes.push_back("the " + spellings.kind + " " + whole(name) + " (line " +
                        std::to_string(line) + ") was made one with " + whole(spellings.full[j]) +
                        " (line " + std::to_string(spellings.first_line[j]) + "): " +
                        (number ? "the same number"
                                : std::string("they differ only in ") +
                                      spelling_difference(name, spellings.full[j])));
      }
      continue;
    }
    if (!fresh && number) {
      throw InputError(file_name, line,
                       "the years " + whole(spellings.full[j]) + " (line " +
                           std::to_string(spellings.first_line[j]) + ") and " + whole(name) +
                           " (line " + std::to_string(line) +
                           ") are the same number spelled two ways: spell them alike, or use "
                           "--fold-names to make them one year");
    }
    if (!fresh && ++told <= kShown) {
      warnings.push_back({line, "the " + spellings.kind + " names " + whole(spellings.full[j]) +
                                    " (line " + std::to_string(spellings.first_line[j]) + ") and " +
                                    whole(name) + " (line " + std::to_string(line) +
                                    ") differ only in " +
                                    spelling_difference(name, spellings.full[j]) + ": two " +
                                    spellings.kind + "s; --fold-names makes them one"});
    }
    out.number[i] = static_cast<std::int32_t>(out.list.full.size());
    out.list.full.push_back(name);
    out.list.first_line.push_back(line);
  }
  if (told > kShown) {
    const std::string more = std::to_string(told - kShown) + " more " + spellings.kind + " names ";
    if (fold) {
      notes.push_back(more + "were made one with an earlier spelling");
    } else {
      warnings.push_back({0, more + "differ from an earlier one only in letter case or blanks; "
                                    "--fold-names makes each one with it"});
    }
  }
  return out;
}

}  // namespace locseq::import
