// Showing warnings on standard error, as "locseq: FILE:LINE: warning: ...".
#pragma once

#include <array>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <tuple>

#include "core/diagnostics.h"

namespace locseq::cli {

// Warnings of a run: the first of each kind in each file is shown when it
// is met (every one about the levels of a sweep, each said once); every line is counted once,
// however many passes meet it; the summary gives the count of every kind met.
class RunWarnings final : public Diagnostics {
 public:
  explicit RunWarnings(std::ostream& err) : err_(err) {}
  void warn(Warning kind, const std::string& file, long line, const std::string& message) override;
  // Writes the number of lines of every kind met, file by file.
  void summary() const;
  std::size_t lines() const { return seen_.size(); }

 private:
  std::ostream& err_;
  std::set<std::tuple<Warning, std::string, long>> seen_;   // every warned line
  std::map<std::pair<Warning, std::string>, long> counts_;  // lines per kind and file
};

// Warnings of a check: every one is shown (each line once).
class CheckWarnings final : public Diagnostics {
 public:
  explicit CheckWarnings(std::ostream& err) : err_(err) {}
  void warn(Warning kind, const std::string& file, long line, const std::string& message) override;
  std::size_t count() const { return seen_.size(); }

 private:
  std::ostream& err_;
  std::set<std::tuple<Warning, std::string, long>> seen_;
};

// "locseq: FILE:LINE: warning: message" (without LINE when it is 0).
void show_warning(std::ostream& err, const std::string& file, long line,
                  const std::string& message);

}  // namespace locseq::cli
