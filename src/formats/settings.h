// JOB.settings: how a classification was made, written beside the .CLS it
// describes (JOB.CLS -> JOB.settings), so that a run can take the
// truncation level and the standardisation the classification was made for.
//
// A text file of lines, each ending in LF, CR LF or CR:
//   - a blank line, or a comment: `#` and anything after it;
//   - a setting: KEY = VALUE, blanks (spaces, tabs) allowed around the `=`,
//     and a comment after the value (`groups = 5  # the square-root rule`).
// KEY is letters, digits, `_` and `-`, starting with a letter. VALUE is
// either
//   - bare: the text up to a `#` or the end of the line, without the blanks
//     around it, taken as it stands (a `\` is a backslash); or
//   - quoted: in double quotes, for any text at all: `\"` a quote, `\\` a
//     backslash, `\t` `\n` `\r` a tab, line feed and carriage return, and
//     `\xHH` the byte of two hex digits. After the closing quote, only
//     blanks and a comment. A bare value cannot start with a quote.
// The writer quotes a value that is empty, has blanks at either end, holds
// `#`, a quote at its start, a control character or a byte that is not
// UTF-8, so that every value reads back as written and the file is UTF-8.
// An optional UTF-8 byte-order mark at the start is passed over.
//
// Each key may be given once, but a list key (kKeys) on as many lines as
// it has values. A key that is not in kKeys is a warning, not an error: a
// later version may write keys this one does not know.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace locseq::formats::settings {

// The keys this version knows.
struct Key {
  std::string_view name;
  bool list = false;  // given once per value, on several lines
};
inline constexpr std::array kKeys = {
    // The program that wrote the file.
    Key{"version"},
    // The classification: what a run takes (groups, standardize) and what
    // it was made with.
    Key{"groups"},
    Key{"standardize"},
    Key{"proximity"},
    Key{"min_share"},
    Key{"min_years"},
    Key{"min_cells"},
    Key{"first_year"},
    Key{"last_year"},
    // The import: the table and the options it was read with.
    Key{"table"},
    Key{"delimiter"},
    Key{"replicates"},
    Key{"year_column"},
    Key{"location_column"},
    Key{"genotype_column"},
    Key{"value_column"},
    Key{"rename"},
    Key{"encoding"},
    Key{"na", true},
    Key{"decimal"},
    Key{"fold_names"},
    Key{"wide"},
    Key{"ignore", true},
};

// One setting.
struct Setting {
  std::string key;
  std::string value;
  std::string comment{};  // written after the value (one line, not read back)
  long line = 0;          // read: its line
};

// A settings file as read: its settings in the order of their lines, and
// the warnings met ("unknown key ...", with their lines).
struct File {
  std::vector<Setting> settings;
  struct Warning {
    long line = 0;
    std::string message;
  };
  std::vector<Warning> warnings;

  // The (first) setting of `key`, or none.
  const Setting* find(std::string_view key) const;
};

// Reads a settings file from its bytes. Throws InputError(file, line, ...)
// for a malformed line: no `=`, a key that is not a name, a bare value that
// starts with a quote or holds a control character, a quoted value that is
// not closed, an unknown `\` escape, text after the closing quote, and a
// key given twice that is no list key (naming both lines).
File read(std::string_view bytes, const std::string& file);

// A value as a setting line holds it: bare when it reads back as it stands,
// else quoted.
std::string value_text(std::string_view value);

// A part of the file: a comment line (or none) and its settings.
struct Section {
  std::string comment;
  std::vector<Setting> settings;
};

// The whole file: each line of `head` as a comment, then each section after
// a blank line. LF line ends. Keys and comments are the writer's own (names
// from kKeys, one-line comments); values may be any bytes.
std::string write(const std::vector<std::string>& head, const std::vector<Section>& sections);

// The values run and check take, checked. Throws InputError(file, line,
// ...) for a groups that is not a whole number from 1 and a standardize
// that is not yes or no.
struct RunSettings {
  std::optional<std::int32_t> groups;
  long groups_line = 0;
  std::optional<bool> standardize;
  long standardize_line = 0;
};
RunSettings run_settings(const File& settings, const std::string& file);

// "yes" or "no", as the file says a switch.
inline std::string_view yes_no(bool on) {
  return on ? "yes" : "no";
}

}  // namespace locseq::formats::settings
