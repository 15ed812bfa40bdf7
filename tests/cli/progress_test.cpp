// The progress bar: its line, how often it is drawn, and that it is gone
// before any other text reaches the terminal and at the end.
#include "cli/progress.h"

#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

#include <sstream>

namespace locseq::cli {
namespace {

// What clears a bar of `n` columns: blanks over it, the cursor back at
// column 1.
std::string cleared(std::size_t n) {
  std::string blanks(n + 2, ' ');
  blanks.front() = blanks.back() = '\r';
  return blanks;
}

// What draws `line`.
std::string drawn(const std::string& line) {
  std::string text(1, '\r');
  return text += line;
}

TEST(ProgressBar, ItsLineFitsTheTerminal) {
  const struct {
    Progress p;
    int columns;
    std::string line;
  } cases[] = {
      {{0, 12, 1, 3},
       80,
       "locseq run: step 1 of 3 [........................................]   0%"},
      {{6, 12, 3, 3},
       80,
       "locseq run: step 3 of 3 [####################....................]  50%"},
      {{12, 12, 3, 3},
       80,
       "locseq run: step 3 of 3 [########################################] 100%"},
      // A narrow terminal: a shorter bar, then the share alone, then cut.
      {{1, 4, 2, 4}, 50, "locseq run: step 2 of 4 [####..............]  25%"},
      {{1, 4, 2, 4}, 40, "locseq run: step 2 of 4  25%"},
      {{1, 4, 2, 4}, 20, "locseq run: step 2 "},
      // No steps; an unknown total; more done than the total.
      {{512, 1024, 0, 0}, 40, "locseq run: [##########..........]  50%"},
      {{5, 0, 2, 9}, 80, "locseq run: step 2 of 9"},
      {{9, 4, 0, 0}, 30, "locseq run: [##########] 100%"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(bar_line("locseq run", c.p, c.columns), c.line) << c.columns;
    EXPECT_LT(bar_line("locseq run", c.p, c.columns).size(), static_cast<std::size_t>(c.columns));
  }
}

// A bar on a string, with a clock the test sets.
struct TestBar {
  std::stringbuf terminal;
  std::int64_t now = 0;
  ProgressBar bar{terminal, "t", [] { return 40; }, [this] { return now; }};
};

TEST(ProgressBar, IsDrawnAtMostTenTimesASecond) {
  TestBar t;
  // Two seconds of work with a progress point every millisecond.
  for (t.now = 0; t.now < 2000; ++t.now) t.bar.show({t.now, 2000, 0, 0});
  EXPECT_EQ(t.bar.drawings(), 20);
  // A point that changes nothing draws nothing; one after a pause draws.
  TestBar u;
  u.bar.show({1, 2, 0, 0});
  u.now = 500;
  u.bar.show({1, 2, 0, 0});
  EXPECT_EQ(u.bar.drawings(), 1);
  u.bar.show({2, 2, 0, 0});
  EXPECT_EQ(u.bar.drawings(), 2);
}

TEST(ProgressBar, IsClearedBeforeTextAndDrawnOnlyAtTheStartOfALine) {
  TestBar t;
  t.bar.show({1, 2, 0, 0});
  const std::string line = "t: [##############...............]  50%";
  EXPECT_EQ(t.terminal.str(), drawn(line));
  t.bar.before_text();
  t.terminal.sputn("half a line", 11);
  t.bar.after_text('e');
  t.now = 1000;
  t.bar.show({2, 2, 0, 0});  // not drawn after the text
  EXPECT_EQ(t.terminal.str(), drawn(line) + cleared(line.size()) + "half a line");
  t.bar.after_text('\n');
  t.bar.show({2, 2, 0, 0});
  EXPECT_EQ(t.bar.drawings(), 2);
  t.bar.clear();
  t.bar.clear();  // once only
  const std::string all = t.terminal.str();
  EXPECT_EQ(all.substr(all.size() - line.size() - 2), cleared(line.size()));
}

// A shorter line after a longer one leaves nothing of it.
TEST(ProgressBar, AShorterLineCoversALongerOne) {
  std::stringbuf terminal;
  std::int64_t now = 0;
  int columns = 80;
  ProgressBar bar(
      terminal, "t", [&] { return columns; }, [&] { return now; });
  bar.show({1, 2, 1, 2});
  const std::size_t first = terminal.str().size() - 1;
  columns = 20;
  now = 100;
  bar.show({1, 2, 1, 2});
  const std::string all = terminal.str();
  EXPECT_EQ(all.substr(first + 1), "\rt: step 1 of 2  50%" + std::string(first - 19, ' '));
}

// The display on a real terminal (a pseudo-terminal), its text caught in
// strings: what passes through its streams clears the bar first.
class Display : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(openpty(&master_, &slave_, nullptr, nullptr, nullptr), 0); }
  void TearDown() override {
    ::close(master_);
    ::close(slave_);
  }
  Streams streams(int out_fd) { return {in_, out_, err_, out_fd, slave_}; }

  int master_ = -1, slave_ = -1;
  std::istringstream in_;
  std::ostringstream out_, err_;
};

TEST_F(Display, TextOnEitherStreamClearsTheBar) {
  const std::string bar = drawn(bar_line("x", {0, 1, 1, 1}, 80));
  const std::string clear = cleared(bar.size() - 1);
  for (const bool on_out : {false, true}) {
    out_.str("");
    err_.str("");
    {
      ProgressDisplay display(streams(slave_), "x", true);
      ASSERT_TRUE(display.shown());
      const Streams s = display.streams();
      report_progress({0, 1, 1, 1});
      (on_out ? s.out : s.err) << "a line\n";
      (on_out ? s.out : s.err).flush();
    }
    EXPECT_EQ(err_.str(), bar + clear + (on_out ? "" : "a line\n")) << on_out;
    EXPECT_EQ(out_.str(), on_out ? "a line\n" : "") << on_out;
  }
}

TEST_F(Display, IsClearedAtTheEnd) {
  {
    ProgressDisplay display(streams(-1), "x", true);
    report_progress({1, 2, 0, 0});
  }
  const std::string line = bar_line("x", {1, 2, 0, 0}, 80);
  EXPECT_EQ(err_.str(), drawn(line) + cleared(line.size()));
}

TEST_F(Display, ShowsNothingUnlessWantedOnATerminal) {
  for (const bool wanted : {false, true}) {
    Streams s = streams(-1);
    if (wanted) s.err_fd = -1;  // standard error not a terminal
    ProgressDisplay display(s, "x", wanted);
    EXPECT_FALSE(display.shown());
    EXPECT_EQ(&display.streams().err, &err_);
    report_progress({1, 2, 0, 0});
  }
  EXPECT_EQ(err_.str(), "");
}

}  // namespace
}  // namespace locseq::cli
