#include "import/columns.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "core/input_error.h"

namespace locseq::import {

namespace {

constexpr std::size_t kRoles = 4;

// The names each role's column is known by, lower case.
const std::vector<std::string_view> kAccepted[kRoles] = {
    {"year", "season"},
    {"location", "loc", "site"},
    {"genotype", "gen", "entry", "variety", "cultivar"},
    {"value", "yield"},
};

const char* const kOption[kRoles] = {"--year", "--location", "--genotype", "--value"};

// Trimmed of blanks and in ASCII lower case, for comparing column names.
std::string folded(std::string_view name) {
  std::size_t first = name.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  std::size_t last = name.find_last_not_of(" \t");
  std::string out(name.substr(first, last - first + 1));
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

std::string column_text(const TableRow& header, std::size_t i) {
  return "column " + std::to_string(i + 1) + " " + quoted(header.fields[i]);
}

std::string listed(const std::vector<std::string_view>& names, const char* last_word) {
  std::string out;
  for (std::size_t k = 0; k < names.size(); ++k) {
    if (k > 0) out += k + 1 == names.size() ? std::string(" ") + last_word + " " : ", ";
    out += names[k];
  }
  return out;
}

std::string header_list(const TableRow& header) {
  std::string out;
  for (std::size_t i = 0; i < header.fields.size(); ++i) {
    out += (i > 0 ? ", " : "") + quoted(header.fields[i]);
  }
  return out;
}

class ColumnFinder {
 public:
  ColumnFinder(const TableRow& header, const std::string& file_name)
      : header_(header), file_name_(file_name), taken_(header.fields.size(), false) {
    for (const std::string& f : header.fields) names_.push_back(folded(f));
  }

  // The column of `role` named `name` (folded).
  std::size_t chosen(std::size_t role, const std::string& name) {
    std::vector<std::size_t> found = matches([&](std::size_t i) { return names_[i] == name; });
    if (found.empty()) {
      fail("no column is named " + quoted(name) + " (" + kOption[role] + "): the columns are " +
           header_list(header_));
    }
    if (found.size() > 1) {
      fail(column_text(header_, found[0]) + " and " + column_text(header_, found[1]) +
           " are both named " + quoted(name) + " (" + kOption[role] + ")");
    }
    if (taken_[found[0]]) fail(column_text(header_, found[0]) + " is named for two roles");
    taken_[found[0]] = true;
    return found[0];
  }

  // The column of `role` found by its accepted names among the columns not
  // taken.
  std::size_t by_name(std::size_t role) {
    const std::vector<std::string_view>& accepted = kAccepted[role];
    std::vector<std::size_t> found = matches([&](std::size_t i) {
      return !taken_[i] && std::find(accepted.begin(), accepted.end(), names_[i]) != accepted.end();
    });
    std::string word = role_word(static_cast<Role>(role));
    if (found.empty()) {
      fail("no " + word + " column: the columns are " + header_list(header_) + "; a " + word +
           " column is named " + listed(accepted, "or") + ", or named with " + kOption[role]);
    }
    if (found.size() > 1) {
      fail(column_text(header_, found[0]) + " and " + column_text(header_, found[1]) +
           " both name the " + word + "; name the one meant with " + kOption[role]);
    }
    taken_[found[0]] = true;
    return found[0];
  }

 private:
  const TableRow& header_;          // the header row
  const std::string& file_name_;    // for messages
  std::vector<std::string> names_;  // the column names, folded
  std::vector<bool> taken_;         // columns given to a role already

  template <class Match>
  std::vector<std::size_t> matches(Match match) const {
    std::vector<std::size_t> found;
    for (std::size_t i = 0; i < names_.size(); ++i) {
      if (match(i)) found.push_back(i);
    }
    return found;
  }

  [[noreturn]] void fail(const std::string& message) const {
    throw InputError(file_name_, header_.line, message);
  }
};

}  // namespace

const char* role_word(Role role) {
  constexpr const char* kWords[kRoles] = {"year", "location", "genotype", "value"};
  return kWords[static_cast<std::size_t>(role)];
}

Columns find_columns(const TableRow& header, const ChosenColumns& chosen,
                     const std::string& file_name) {
  ColumnFinder finder(header, file_name);
  Columns columns{};
  for (std::size_t role = 0; role < kRoles; ++role) {
    if (!folded(chosen[role]).empty()) columns[role] = finder.chosen(role, folded(chosen[role]));
  }
  for (std::size_t role = 0; role < kRoles; ++role) {
    if (folded(chosen[role]).empty()) columns[role] = finder.by_name(role);
  }
  return columns;
}

}  // namespace locseq::import
