// Outputs are written in full or not at all: a run that fails, is stopped
// by a signal or loses its standard output leaves the earlier reports and
// tables exactly as they were and no temporary file behind; links, devices
// and unwritable files named as outputs are handled before anything runs.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "support/command_runner.h"
#include "support/compare.h"

namespace locseq::testing {
namespace {

using Args = std::vector<std::string>;
using Files = std::map<std::string, std::string>;

const fs::path kExamples = LOCSEQ_EXAMPLES_DIR;
const std::string kAnswers = "Y\nWHEAT\nY\n";
const std::string kNoReport = "locseq: no report was written; earlier reports were left unchanged";

// The example job, with earlier reports and tables beside it.
void lay_out_example(const fs::path& work) {
  for (const char* kind : {"CLS", "NAQ", "SEQ"}) {
    const std::string name = std::string("WHEAT.") + kind;
    write_file(work / name, read_file(kExamples / name));
  }
  for (const char* kind : {"SCO", "COS", "ALC"}) {
    write_file(work / (std::string("WHEAT.") + kind), std::string("an earlier ") + kind + "\n");
  }
  fs::create_directory(work / "tables");
  for (const char* name : {"steps.csv", "fit_by_year.csv", "groups.csv", "distances.csv"}) {
    write_file(work / "tables" / name, std::string("an earlier ") + name + "\n");
  }
}

// The reports of a run of the example that ends normally.
const Files& example_reports() {
  static const Files reports = [] {
    ScratchFolder work;
    lay_out_example(work.path());
    const JobRun r = run_program(work.path(), {"run", "WHEAT", "-q"});
    EXPECT_EQ(r.status, 0) << r.error;
    Files out;
    for (const char* kind : {"SCO", "COS", "ALC"}) {
      out[kind] = read_file(work.path() / (std::string("WHEAT.") + kind));
    }
    return out;
  }();
  return reports;
}

// The temporary files left anywhere under `folder`.
std::vector<std::string> temporaries(const fs::path& folder) {
  std::vector<std::string> left;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name[0] == '.' && name.find(".locseq-") != std::string::npos) left.push_back(name);
  }
  return left;
}

std::string last_line(const std::string& text) {
  const std::vector<std::string> lines = lines_of(text);
  return lines.empty() ? "" : lines.back();
}

// A pipe whose ends are closed when the program is started.
struct Pipe {
  int read = -1, write = -1;
  Pipe() {
    int fd[2];
    if (::pipe2(fd, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    read = fd[0];
    write = fd[1];
  }
  ~Pipe() { close_both(); }
  void close_both() {
    for (int* fd : {&read, &write}) {
      if (*fd >= 0) ::close(*fd);
      *fd = -1;
    }
  }
};

// Starts the program in `folder` with `in` and `out` as its standard input
// and output and `err` as the file of its standard error; as the user
// `uid` when it is not -1.
pid_t start(const fs::path& folder, const Args& args, int in, int out, const fs::path& err,
            uid_t uid = static_cast<uid_t>(-1)) {
  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    const int ferr = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (ferr < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(ferr, 2) < 0 ||
        chdir(folder.c_str()) != 0) {
      _exit(127);
    }
    if (uid != static_cast<uid_t>(-1) && (setgid(uid) != 0 || setuid(uid) != 0)) _exit(126);
    exec_program(args);
  }
  return pid;
}

// Waits up to ten seconds for `ready`.
bool wait_until(const std::function<bool()>& ready) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!ready()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

TEST(Outputs, AFailedRunLeavesEarlierOutputsUnchanged) {
  const std::string bad_record = "6 2 3 x\n";  // in the last year, met late in the run
  const struct {
    std::string what;
    Args args;
    std::string input;
    std::string bad_seq_before;  // a .SEQ line the bad record goes in front of, if any
  } cases[] = {
      {"run, bad .SEQ record", {"run", "WHEAT", "--tables", "tables"}, "", "6  20  13 "},
      {"run, bad .SEQ record, new tables folder",
       {"run", "WHEAT", "--tables", "new"},
       "",
       "6  20  13 "},
      {"run, a level the job cannot cut",
       {"run", "WHEAT", "-g", "20", "--tables", "tables"},
       "",
       ""},
      {"dialogue, bad .SEQ record", {}, kAnswers, "6  20  13 "},
      {"dialogue, end of console input", {}, "Y\nWHEAT\n", ""},
      {"dialogue, end of input after N", {}, "Y\nWHEAT\nN\n", ""},
      {"dialogue, typo at the truncation level", {}, "Y\nWHEAT\nN\n5x\n", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchFolder work;
    lay_out_example(work.path());
    if (!c.bad_seq_before.empty()) {
      std::string seq = read_file(work.path() / "WHEAT.SEQ");
      const std::size_t at = seq.find("\n" + c.bad_seq_before);
      ASSERT_NE(at, std::string::npos);
      seq.insert(at + 1, bad_record);
      write_file(work.path() / "WHEAT.SEQ", seq);
    }
    const auto before = tree(work.path());
    const JobRun r = run_program(work.path(), c.args, c.input);
    EXPECT_EQ(r.status, 1) << r.error;
    EXPECT_EQ(changes(before, tree(work.path())), "");
    EXPECT_TRUE(temporaries(work.path()).empty());
    EXPECT_EQ(last_line(r.error), kNoReport) << r.error;
  }
}

TEST(Outputs, AFailedRunRemovesEveryFolderItMadeForTheTables) {
  ScratchFolder work;
  lay_out_example(work.path());
  write_file(work.path() / "WHEAT.SEQ", read_file(work.path() / "WHEAT.SEQ") + "6 2 3 x\n");
  const auto before = tree(work.path());
  const JobRun r = run_program(work.path(), {"run", "WHEAT", "--tables", "new/t"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(changes(before, tree(work.path())), "");
}

TEST(Outputs, ALinkedOutputStaysALinkAndItsTargetGetsTheReport) {
  ScratchFolder work;
  lay_out_example(work.path());
  fs::create_directory(work.path() / "kept");
  fs::remove(work.path() / "WHEAT.SCO");
  fs::remove(work.path() / "WHEAT.ALC");
  write_file(work.path() / "kept" / "report.SCO", "an earlier report\n");
  fs::create_symlink("kept/report.SCO", work.path() / "WHEAT.SCO");
  fs::create_symlink("kept/new.ALC", work.path() / "WHEAT.ALC");  // to no file yet

  const JobRun r = run_program(work.path(), {"run", "WHEAT", "-q"});
  EXPECT_EQ(r.status, 0) << r.error;
  EXPECT_EQ(fs::read_symlink(work.path() / "WHEAT.SCO"), "kept/report.SCO");
  EXPECT_EQ(fs::read_symlink(work.path() / "WHEAT.ALC"), "kept/new.ALC");
  EXPECT_TRUE(same_text(example_reports().at("SCO"), read_file(work.path() / "kept/report.SCO")));
  EXPECT_TRUE(same_text(example_reports().at("ALC"), read_file(work.path() / "kept/new.ALC")));
  EXPECT_TRUE(temporaries(work.path()).empty());
}

TEST(Outputs, AnOutputThatCannotBeWrittenStopsTheRunBeforeItStarts) {
  // Root may write any file: as root, the program runs as nobody (65534).
  const uid_t user = geteuid() == 0 ? 65534 : static_cast<uid_t>(-1);
  ScratchFolder work, io;
  lay_out_example(work.path());
  for (const auto& entry : fs::recursive_directory_iterator(work.path())) {
    fs::permissions(entry.path(), entry.is_directory()
                                      ? fs::perms::all
                                      : fs::perms::owner_all | fs::perms::group_all |
                                            fs::perms::others_read | fs::perms::others_write);
  }
  fs::permissions(work.path(), fs::perms::all);
  fs::permissions(work.path() / "WHEAT.COS",
                  fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  const auto before = tree(work.path());
  const int null = open("/dev/null", O_RDWR);
  const pid_t pid = start(work.path(), {"run", "WHEAT", "--tables", "tables"}, null, null,
                          io.path() / "err", user);
  ::close(null);
  const std::string err = (wait_for(pid, 30), read_file(io.path() / "err"));
  EXPECT_EQ(err.rfind("locseq: WHEAT.COS: cannot write", 0), 0u) << err;
  EXPECT_EQ(changes(before, tree(work.path())), "");
}

TEST(Outputs, ACharacterDeviceIsWrittenDirectly) {
  ScratchFolder work;
  lay_out_example(work.path());
  const JobRun r = run_program(
      work.path(), {}, "N\nWHEAT.CLS\nWHEAT.NAQ\nWHEAT.SEQ\n/dev/null\nWHEAT.COS\n/dev/null\nY\n");
  EXPECT_EQ(r.status, 0) << r.error;
  struct stat st {};
  ASSERT_EQ(::stat("/dev/null", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));
  EXPECT_TRUE(same_text(example_reports().at("COS"), read_file(work.path() / "WHEAT.COS")));
  EXPECT_EQ(read_file(work.path() / "WHEAT.SCO"), "an earlier SCO\n");
  EXPECT_EQ(read_file(work.path() / "WHEAT.ALC"), "an earlier ALC\n");
}

TEST(Outputs, ASignalAtTheTruncationQuestionRemovesTheTemporaryFiles) {
  for (int sig : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(strsignal(sig));
    ScratchFolder work, io;
    lay_out_example(work.path());
    const auto before = tree(work.path());
    Pipe in;
    const int out = open((io.path() / "stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(out, 0);
    const pid_t pid = start(work.path(), {}, in.read, out, io.path() / "stderr");
    ::close(out);
    ::close(in.read);
    in.read = -1;
    ASSERT_EQ(::write(in.write, "Y\nWHEAT\n", 8), 8);
    const bool asked = wait_until([&] {
      return read_file(io.path() / "stdout").find(" Default truncation level (Y or N) :") !=
             std::string::npos;
    });
    EXPECT_TRUE(asked) << "the question was never asked";
    EXPECT_FALSE(temporaries(work.path()).empty()) << "no output was prepared";
    ::kill(pid, sig);
    const int status = wait_for(pid, 10);
    EXPECT_EQ(status, 128 + sig) << read_file(io.path() / "stderr");
    EXPECT_TRUE(temporaries(work.path()).empty());
    EXPECT_EQ(changes(before, tree(work.path())), "");
    EXPECT_NE(read_file(io.path() / "stderr").find("no report was written"), std::string::npos);
  }
}

TEST(Outputs, AClosedStandardOutputRemovesTheTemporaryFiles) {
  ScratchFolder work, io;
  lay_out_example(work.path());
  const auto before = tree(work.path());
  Pipe out;
  ::close(out.read);  // nobody reads what the program writes
  out.read = -1;
  const int in = open("/dev/null", O_RDONLY);
  ASSERT_GE(in, 0);
  const pid_t pid =
      start(work.path(), {"run", "WHEAT", "--tables", "tables"}, in, out.write, io.path() / "err");
  ::close(in);
  out.close_both();
  const int status = wait_for(pid, 30);
  EXPECT_EQ(status, 128 + SIGPIPE) << read_file(io.path() / "err");
  EXPECT_TRUE(temporaries(work.path()).empty());
  EXPECT_EQ(changes(before, tree(work.path())), "");
}

}  // namespace
}  // namespace locseq::testing
