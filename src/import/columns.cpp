#include "import/columns.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "core/input_error.h"
#include "import/values.h"

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

  // Leaves out the column named `name` (folded).
  void ignore(const std::string& name) {
    std::vector<std::size_t> found = matches([&](std::size_t i) { return names_[i] == name; });
    if (found.empty()) {
      fail("no column is named " + quoted(name) + " (--ignore): the columns are " +
           header_list(header_));
    }
    for (std::size_t i : found) {
      if (taken_[i]) fail(column_text(header_, i) + " is both left out by --ignore and chosen");
      taken_[i] = true;
    }
  }

  // The columns no role has taken and none left out, in order.
  std::vector<std::size_t> untaken() const {
    return matches([&](std::size_t i) { return !taken_[i]; });
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

// The kind of name that has a column of its own in a table wide by `wide`.
Role other_kind(Role wide) {
  return wide == Role::Location ? Role::Genotype : Role::Location;
}

}  // namespace

const char* role_word(Role role) {
  constexpr const char* kWords[kRoles] = {"year", "location", "genotype", "value"};
  return kWords[static_cast<std::size_t>(role)];
}

Layout find_layout(const TableRow& header, const ChosenColumns& chosen, std::optional<Role> wide,
                   const std::vector<std::string>& ignore, const std::string& file_name) {
  constexpr auto kYear = static_cast<std::size_t>(Role::Year);
  constexpr auto kValue = static_cast<std::size_t>(Role::Value);
  std::vector<std::size_t> roles = {0, 1, 2, 3};
  std::string wide_columns;  // what a wide table's columns hold, in messages
  if (wide) {
    const std::string word = role_word(*wide);
    const std::string columns = std::string(" every column but the year and ") +
                                role_word(other_kind(*wide)) + " columns holds one " + word +
                                "'s values";
    for (std::size_t role : {static_cast<std::size_t>(*wide), kValue}) {
      if (folded(chosen[role]).empty()) continue;
      throw InputError("--wide", 0,
                       std::string(kOption[role]) +
                           " names a column of a long table; with --wide " + word + columns);
    }
    roles = {kYear, static_cast<std::size_t>(other_kind(*wide))};
    wide_columns = columns;
  } else if (!ignore.empty()) {
    throw InputError("--ignore", 0,
                     "--ignore leaves out columns of a wide table (with --wide); a long table "
                     "reads its four columns and passes over the others");
  }
  ColumnFinder finder(header, file_name);
  std::array<std::size_t, kRoles> at{};
  for (std::size_t role : roles) {
    if (!folded(chosen[role]).empty()) at[role] = finder.chosen(role, folded(chosen[role]));
  }
  for (const std::string& name : ignore) finder.ignore(folded(name));
  for (std::size_t role : roles) {
    if (folded(chosen[role]).empty()) at[role] = finder.by_name(role);
  }
  Layout layout;
  layout.wide = wide;
  layout.names.fill(Layout::kNone);
  for (std::size_t role : roles) {
    if (role < 3) layout.names[role] = at[role];
  }
  if (!wide) {
    layout.values = {at[kValue]};
    return layout;
  }
  layout.values = finder.untaken();
  if (layout.values.empty()) {
    throw InputError(
        file_name, header.line,
        std::string("with --wide ") + role_word(*wide) + wide_columns + ", and there is none");
  }
  return layout;
}

std::string wide_hint(const TableRow& header, const TableRow& first_row,
                      const ChosenColumns& chosen) {
  for (Role wide : {Role::Location, Role::Genotype}) {
    ChosenColumns long_only = chosen;
    long_only[static_cast<std::size_t>(wide)].clear();
    long_only[static_cast<std::size_t>(Role::Value)].clear();
    Layout layout;
    try {
      layout = find_layout(header, long_only, wide, {}, "");
    } catch (const InputError&) {
      continue;
    }
    std::vector<std::size_t> numeric;
    for (std::size_t i : layout.values) {
      if (i >= first_row.fields.size()) continue;
      std::string field = folded(first_row.fields[i]);
      float v = 0.0f;
      if (read_value(field, false, v) == ValueStatus::Ok ||
          read_value(field, true, v) == ValueStatus::Ok) {
        numeric.push_back(i);
      }
    }
    if (numeric.size() < 2) continue;
    std::string word = role_word(wide);
    std::string shown;
    for (std::size_t k = 0; k < numeric.size() && k < 3; ++k) {
      shown += (k > 0 ? ", " : "") + quoted(header.fields[numeric[k]]);
    }
    if (numeric.size() > 3) shown += " and " + std::to_string(numeric.size() - 3) + " more";
    return "; the table looks wide, its columns " + shown + " holding numbers on line " +
           std::to_string(first_row.line) + ": if each such column holds one " + word +
           "'s values, use --wide " + word;
  }
  return {};
}

}  // namespace locseq::import
