// The progress bar of the long commands on a terminal: one line on
// standard error, drawn over itself,
//
//   locseq run: step 3 of 6 [########..............]  28%
//
// at most ten times a second, and cleared (blanks over it, the cursor back
// at column 1) before any other text reaches the terminal and at the end.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <streambuf>
#include <string>

#include "cli/commands.h"
#include "core/progress.h"

namespace locseq::cli {

// The line of a bar `columns` wide at most, less one (a line that fills
// the last column would wrap on some terminals): the title, the step when
// the work has steps, and, when its total is known, the bar and the share
// done.
std::string bar_line(const std::string& title, const Progress& p, int columns);

// Milliseconds of the steady clock.
std::int64_t steady_milliseconds();

// The bar on a terminal, written to `terminal` (the terminal's own buffer,
// flushed after each change). The text of other writers must pass through
// before_text(), which clears the bar, and after_text(), which notes where
// the text left the cursor: the bar is drawn only at the start of a line.
class ProgressBar {
 public:
  static constexpr std::int64_t kInterval = 100;  // the least time between two drawings, ms

  ProgressBar(std::streambuf& terminal, std::string title, std::function<int()> columns,
              std::function<std::int64_t()> now = steady_milliseconds);

  // Draws the bar for `p` unless it was drawn less than kInterval ago or
  // the cursor is not at the start of a line.
  void show(const Progress& p);
  // Removes the bar from the terminal, if it is there.
  void clear();
  void before_text() { clear(); }
  void after_text(char last) { at_line_start_ = last == '\n'; }
  // How many times the bar was drawn.
  std::int64_t drawings() const { return drawings_; }

 private:
  void put(const std::string& text);

  std::streambuf& terminal_;
  std::string title_;
  std::function<int()> columns_;
  std::function<std::int64_t()> now_;
  std::string shown_;  // the line on the terminal, empty when the bar is not there
  std::int64_t last_ = 0;
  std::int64_t drawings_ = 0;
  bool at_line_start_ = true;
};

// The streams of a command with its progress bar: while it lives, the bar
// shows the progress the work reports (core/progress.h) on `s.err`'s
// terminal, and text written to streams() reaches the terminal only with
// the bar cleared. Without a terminal, or when `wanted` is false, nothing
// is shown and streams() are `s` itself.
class ProgressDisplay final : public ProgressMeter {
 public:
  ProgressDisplay(Streams s, const std::string& title, bool wanted);
  ~ProgressDisplay() override;
  ProgressDisplay(const ProgressDisplay&) = delete;
  ProgressDisplay& operator=(const ProgressDisplay&) = delete;

  Streams streams() const;
  bool shown() const { return bar_ != nullptr; }
  void show(const Progress& p) override;

 private:
  class Passing;

  Streams s_;
  std::unique_ptr<ProgressBar> bar_;
  std::unique_ptr<Passing> out_buffer_, err_buffer_;
  std::unique_ptr<std::ostream> out_, err_;
};

// Whether `fd` is a terminal.
bool is_terminal(int fd);

}  // namespace locseq::cli
