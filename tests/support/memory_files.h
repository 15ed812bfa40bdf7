// Files and the console in memory, for the unit tests: input read by the
// program's own readers, output kept in a string, and a check of an
// InputError's line and wording.
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <string_view>
#include <utility>

#include "core/input_error.h"
#include "records/record_reader.h"
#include "records/record_writer.h"

namespace locseq::testing {

// An input file held in a string.
struct InFile {
  explicit InFile(std::string text, std::string name = "JOB.CLS",
                  std::size_t block = std::size_t{1} << 18)
      : in(std::move(text)), reader(in, std::move(name), block) {}
  // The next record, or "<end>".
  std::string next() {
    std::string_view r;
    return reader.next(r) ? std::string(r) : "<end>";
  }
  std::istringstream in;       // the file's bytes
  records::FileReader reader;  // reading them
};

// Console input held in a string.
struct ConsoleIn {
  explicit ConsoleIn(std::string text) : in(std::move(text)), reader(in, "standard input") {}
  std::istringstream in;          // what is typed
  records::ConsoleReader reader;  // reading it
};

// An output file whose records are kept.
struct OutFile {
  explicit OutFile(std::string name = "JOB.SCO") : unit(text, std::move(name)) {}
  std::string str() const { return text.str(); }
  std::ostringstream text;  // every record written
  records::Unit unit;       // writing them
};

// Passes when `run` throws an InputError at `line` whose message holds
// `words` (and, when given, naming `file`).
template <class Run>
::testing::AssertionResult fails_at(Run run, long line, std::string_view words,
                                    std::string_view file = {}) {
  try {
    run();
  } catch (const InputError& e) {
    if (e.line() == line && e.message().find(words) != std::string::npos &&
        (file.empty() || e.file() == file)) {
      return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "wanted line " << line << " with '" << words << "', got: " << e.what();
  }
  return ::testing::AssertionFailure() << "no InputError";
}

}  // namespace locseq::testing
