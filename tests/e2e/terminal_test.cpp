// The long commands on a terminal (a pseudo-terminal): the progress bar
// shows while they work, is drawn at most ten times a second, is gone
// before a warning and at the end, and never shows on a pipe or with -q.
// What the terminal shows in the end is read back through a small
// terminal of the test's own: only the text of the commands may remain.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "support/command_runner.h"
#include "support/compare.h"
#include "support/sample_jobs.h"

namespace locseq::testing {
namespace {

using Args = std::vector<std::string>;

const fs::path kExamples = LOCSEQ_EXAMPLES_DIR;

// Where a standard stream of the program goes.
enum class To { Terminal, File };

struct TerminalRun {
  int status = -1;
  std::string terminal;           // every byte the terminal received
  std::string out;                // standard output, when it went to a file
  std::string err;                // standard error, likewise
  std::int64_t milliseconds = 0;  // from the start to the end, as the test saw it
};

// Runs the program with `args` in `folder`, standard input from /dev/null,
// standard output and error on an 80-column pseudo-terminal or in files.
TerminalRun on_terminal(const fs::path& folder, const Args& args, To out, To err) {
  ScratchFolder io;
  int master = -1, slave = -1;
  winsize size{};
  size.ws_row = 24;
  size.ws_col = 80;
  if (openpty(&master, &slave, nullptr, nullptr, &size) != 0) throw std::runtime_error("openpty");
  const auto started = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    ::close(master);
    ::setsid();
    ::ioctl(slave, TIOCSCTTY, 0);
    const int in = open("/dev/null", O_RDONLY);
    const int fout = out == To::Terminal
                         ? slave
                         : open((io.path() / "out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int ferr = err == To::Terminal
                         ? slave
                         : open((io.path() / "err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || fout < 0 || ferr < 0 || dup2(in, 0) < 0 || dup2(fout, 1) < 0 ||
        dup2(ferr, 2) < 0 || chdir(folder.c_str()) != 0) {
      _exit(127);
    }
    exec_program(args);
  }
  ::close(slave);
  TerminalRun run;
  // Read as the program writes, so that it never waits on a full terminal;
  // the terminal reads as ended (EIO) once the program has closed it.
  char block[4096];
  for (;;) {
    pollfd p{master, POLLIN, 0};
    if (::poll(&p, 1, 30000) <= 0) break;
    const ssize_t n = ::read(master, block, sizeof block);
    if (n <= 0) break;
    run.terminal.append(block, static_cast<std::size_t>(n));
  }
  run.status = wait_for(pid, 30);
  run.milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(
                         std::chrono::steady_clock::now() - started)
                         .count();
  ::close(master);
  run.out = read_file(io.path() / "out");
  run.err = read_file(io.path() / "err");
  return run;
}

// What a terminal shows after `bytes`: its lines, blanks at their ends
// dropped, and whether the cursor ends at column 1 of an empty line. Only
// what the program writes is understood: text, carriage returns and line
// ends (which the terminal sends as "\r\n").
struct Screen {
  std::vector<std::string> lines{""};
  std::size_t column = 0;

  explicit Screen(const std::string& bytes) {
    for (const char c : bytes) {
      if (c == '\r') {
        column = 0;
      } else if (c == '\n') {
        lines.emplace_back();
      } else {
        std::string& line = lines.back();
        if (line.size() <= column) line.resize(column + 1, ' ');
        line[column++] = c;
      }
    }
    for (std::string& line : lines) line.erase(line.find_last_not_of(' ') + 1);
  }
  bool clean_end() const { return column == 0 && lines.back().empty(); }
  // The lines above the cursor's.
  std::string text() const {
    std::string all;
    for (std::size_t k = 0; k + 1 < lines.size(); ++k) all += lines[k] + "\n";
    return all;
  }
};

std::size_t count(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (std::size_t at = 0; (at = text.find(part, at)) != std::string::npos; at += part.size()) ++n;
  return n;
}

// `text` after a carriage return.
std::string after_return(const std::string& text) {
  std::string all(1, '\r');
  return all += text;
}

// The terminal's text as the program wrote it: its "\r\n" as "\n".
std::string as_written(std::string text) {
  for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos;) text.erase(at, 1);
  return text;
}

// A job whose .SEQ holds more than the 4096 records a check reads between
// two progress points.
void lay_out_large_job(const fs::path& folder) {
  for (const auto& [name, content] : chain_job("L", 2, 2000, 3, 1)) {
    write_file(folder / name, content);
  }
}

TEST(Terminal, TheBarShowsOnATerminalAndLeavesOnlyTheCommandsText) {
  const struct {
    std::string what;
    Args args;
    To out, err;
    std::string title;  // of the bar, when it shows
  } cases[] = {
      {"run", {"run", "WHEAT", "--tables", "t"}, To::Terminal, To::Terminal, "locseq run: "},
      {"run, standard output to a file", {"run", "WHEAT"}, To::File, To::Terminal, "locseq run: "},
      {"run, standard error to a file", {"run", "WHEAT"}, To::Terminal, To::File, ""},
      {"run -q", {"run", "WHEAT", "-q"}, To::Terminal, To::Terminal, ""},
      {"run --console", {"run", "WHEAT", "--console"}, To::Terminal, To::Terminal, ""},
      {"run --console to a file",
       {"run", "WHEAT", "--console"},
       To::File,
       To::Terminal,
       "locseq run: "},
      {"classify",
       {"classify", "WHEAT", "--cls", "W.CLS"},
       To::Terminal,
       To::Terminal,
       "locseq classify: "},
      {"import", {"import", "wheat.csv", "W3"}, To::Terminal, To::Terminal, "locseq import: "},
      {"check", {"check", "L", "--areas", "auto"}, To::Terminal, To::Terminal, "locseq check: "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchFolder work, plain;
    for (const fs::path& folder : {work.path(), plain.path()}) {
      copy_files(kExamples, folder);
      lay_out_large_job(folder);
    }
    const TerminalRun t = on_terminal(work.path(), c.args, c.out, c.err);
    // The same command on files, for what it writes.
    const JobRun r = run_program(plain.path(), c.args);
    EXPECT_EQ(t.status, 0) << t.terminal << t.err;
    ASSERT_EQ(r.status, 0) << r.error;

    const std::string shown = as_written(t.terminal);
    const std::size_t drawings = c.title.empty() ? 0 : count(shown, after_return(c.title));
    if (c.title.empty()) {
      EXPECT_EQ(shown.find('\r'), std::string::npos) << shown;
    } else {
      EXPECT_GE(drawings, 1u) << shown;
      // At most ten drawings a second, counted over the time the test saw
      // the program run (which holds the time the program saw).
      EXPECT_LE(drawings, 1 + static_cast<std::size_t>(t.milliseconds / 100)) << t.milliseconds;
    }
    // The terminal holds the lines of both streams, each whole, and
    // nothing of the bar.
    const Screen screen(t.terminal);
    EXPECT_TRUE(screen.clean_end()) << shown;
    std::vector<std::string> expected =
        lines_of((c.out == To::Terminal ? r.console : "") + (c.err == To::Terminal ? r.error : ""));
    std::vector<std::string> lines = lines_of(screen.text());
    for (std::string& line : expected) line.erase(line.find_last_not_of(' ') + 1);
    std::sort(expected.begin(), expected.end());
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines, expected) << shown;
    if (c.out == To::File) {
      EXPECT_TRUE(same_text(r.console, t.out));
    }
    if (c.err == To::File) {
      EXPECT_TRUE(same_text(r.error, t.err));
    }
  }
}

// A warning met while the bar shows comes after the bar is cleared, and
// stays whole on the terminal.
TEST(Terminal, TheBarIsClearedBeforeAWarning) {
  ScratchFolder work;
  copy_files(kExamples, work.path());
  std::string seq = read_file(work.path() / "WHEAT.SEQ");
  const std::size_t at = seq.find("\n3 ");  // the first record of year 3
  ASSERT_NE(at, std::string::npos);
  seq.insert(seq.find('\n', at + 1), " 7");
  write_file(work.path() / "WHEAT.SEQ", seq);
  // Standard output to a file: the bar stays until the warning comes.
  const TerminalRun t = on_terminal(work.path(), {"run", "WHEAT"}, To::File, To::Terminal);
  EXPECT_EQ(t.status, 0) << t.terminal;
  const std::size_t warning = t.terminal.find("locseq: WHEAT.SEQ:");
  ASSERT_NE(warning, std::string::npos) << t.terminal;
  const std::size_t bar = t.terminal.rfind("\rlocseq run: ", warning);
  ASSERT_NE(bar, std::string::npos) << "no bar before the warning";
  const std::size_t width = t.terminal.find('\r', bar + 1) - bar - 1;
  EXPECT_EQ(t.terminal.substr(warning - width - 2, width + 2),
            after_return(std::string(width, ' ') + "\r"))
      << t.terminal;
  const Screen screen(t.terminal);
  EXPECT_TRUE(screen.clean_end());
  const std::vector<std::string> lines = lines_of(screen.text());
  ASSERT_EQ(lines.size(), 2u) << screen.text();
  EXPECT_EQ(lines[0].rfind("locseq: WHEAT.SEQ:", 0), 0u) << lines[0];
  EXPECT_NE(lines[0].find("warning: more than four numbers"), std::string::npos) << lines[0];
}

}  // namespace
}  // namespace locseq::testing
