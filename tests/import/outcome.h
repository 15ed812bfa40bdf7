// An import as the tests see it: the job it made, or the error it stopped at.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/input_error.h"
#include "import/importer.h"

namespace locseq::import::testing {

struct Outcome {
  std::optional<ImportedJob> job;
  std::string file;  // of the error
  long line = -1;    // of the error
  std::string message;
};

inline Outcome import_of(std::string_view table, const ImportOptions& options) {
  Outcome out;
  try {
    out.job = import_table(table, "t.csv", options);
  } catch (const InputError& e) {
    out.file = e.file();
    out.line = e.line();
    out.message = e.message();
  }
  return out;
}

// The names of .NAQ below its two head lines, each followed by '|'.
inline std::string names_of(const ImportedJob& job) {
  std::string out;
  std::size_t at = job.naq.find('\n', job.naq.find('\n') + 1) + 1;
  for (std::size_t nl; (nl = job.naq.find('\n', at)) != std::string::npos; at = nl + 1) {
    out += job.naq.substr(at, nl - at) + "|";
  }
  return out;
}

// Expects `text` to hold each of `words`.
inline void expect_words(const std::string& text, const std::vector<std::string>& words) {
  for (const std::string& w : words) {
    EXPECT_NE(text.find(w), std::string::npos) << "'" << w << "' not in: " << text;
  }
}

}  // namespace locseq::import::testing
