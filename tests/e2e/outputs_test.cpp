// Outputs never lose data: no output can be an input or another output
// (by name, symbolic link or hard link), a run that fails or is stopped
// leaves the earlier outputs exactly as they were and no temporary file or
// folder behind, devices and pipes are written after the files, and the
// console can go away without stopping the run.
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
const std::string kNamesHeader = "kind,number,name,full_name\n";

// The example job, with earlier reports and tables beside it.
void lay_out_example(const fs::path& work) {
  for (const char* kind : {"CLS", "NAQ", "SEQ"}) {
    const std::string name = std::string("WHEAT.") + kind;
    write_file(work / name, read_file(kExamples / name));
    // The page shows the inputs' times: the same in every folder.
    fs::last_write_time(work / name, fs::file_time_type{});
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
    const JobRun r = run_program(work.path(), {"run", "WHEAT", "-q", "--report", "page.html"});
    EXPECT_EQ(r.status, 0) << r.error;
    Files out;
    for (const char* kind : {"SCO", "COS", "ALC"}) {
      out[kind] = read_file(work.path() / (std::string("WHEAT.") + kind));
    }
    out["page"] = read_file(work.path() / "page.html");
    return out;
  }();
  return reports;
}

// The example's table imported as job K, without its classification.
const Files& imported_job() {
  static const Files job = [] {
    ScratchFolder work;
    write_file(work.path() / "wheat.csv", read_file(kExamples / "wheat.csv"));
    const JobRun r = run_program(work.path(), {"import", "wheat.csv", "K", "--no-classify"});
    EXPECT_EQ(r.status, 0) << r.error;
    return Files{{"K.NAQ", read_file(work.path() / "K.NAQ")},
                 {"K.SEQ", read_file(work.path() / "K.SEQ")}};
  }();
  return job;
}

// The temporary files and folders left anywhere under `folder`.
std::vector<std::string> temporaries(const fs::path& folder) {
  std::vector<std::string> left;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind(".locseq-", 0) == 0) left.push_back(name);
  }
  return left;
}

std::string last_line(const std::string& text) {
  const std::vector<std::string> lines = lines_of(text);
  return lines.empty() ? "" : lines.back();
}

bool holds(const std::string& s, const std::string& part) {
  return s.find(part) != std::string::npos;
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

// A place for a test file: `path` made, with its folders.
void make_folders_for(const fs::path& path) {
  fs::create_directories(path.parent_path());
}

// Every command x every output kind x (same name, symbolic link, hard
// link) against every input, and outputs against each other: each is
// refused before anything is written, naming both files.
TEST(Outputs, NoOutputCanBeAnInputOrAnotherOutput) {
  struct Command {
    std::string name;
    Args args;          // with the outputs under their usual names
    std::string input;  // standard input (the dialogue's answers)
    std::vector<std::string> inputs, outputs;
  };
  const std::string typed = "N\nWHEAT.CLS\nWHEAT.NAQ\nWHEAT.SEQ\nR.SCO\nR.COS\nR.ALC\nY\n";
  const std::vector<Command> commands = {
      {"run",
       {"run", "WHEAT", "-q", "-o", "R", "--tables", "t", "--report", "p.html", "--plots", "P"},
       "",
       {"WHEAT.CLS", "WHEAT.NAQ", "WHEAT.SEQ", "WHEAT.names.csv"},
       {"R.SCO", "R.COS", "R.ALC", "t/steps.csv", "t/fit_by_year.csv", "t/groups.csv",
        "t/distances.csv", "p.html", "P/fit.svg", "P/fit_by_year.svg", "P/stability.svg",
        "P/step-1.svg"}},
      {"dialogue", {}, typed, {"WHEAT.CLS", "WHEAT.NAQ", "WHEAT.SEQ"}, {"R.SCO", "R.COS", "R.ALC"}},
      {"import",
       {"import", "T.csv", "J", "--force"},
       "",
       {"T.csv"},
       {"J.NAQ", "J.SEQ", "J.names.csv", "J.CLS", "J.settings"}},
      {"classify",
       {"classify", "K", "--cls", "C.CLS", "--force"},
       "",
       {"K.NAQ", "K.SEQ"},
       {"C.CLS", "C.settings"}},
  };
  struct Case {
    std::string what;
    Args args;
    std::string input;
    std::function<void(const fs::path&)> lay_out;
    std::string output, other;  // the two names the message gives
  };
  std::vector<Case> cases;
  // A name standing for `output` in the arguments and answers: `renamed`.
  auto with_name = [](const Command& c, const std::string& output, const std::string& renamed) {
    Case k{c.name, c.args, c.input, {}, renamed, ""};
    for (std::string& a : k.args) {
      if (a == output) a = renamed;
    }
    if (c.name == "import" && output != "T.csv") k.args[1] = renamed;  // the table itself
    std::string& answers = k.input;
    const std::size_t at = answers.find("\n" + output + "\n");
    if (at != std::string::npos) answers.replace(at + 1, output.size(), renamed);
    return k;
  };
  for (const Command& c : commands) {
    for (const std::string& out : c.outputs) {
      for (const std::string& in : c.inputs) {
        for (const char* way : {"symbolic link", "hard link"}) {
          Case k{c.name + ": " + out + " a " + way + " to " + in, c.args, c.input, {}, out, in};
          const bool hard = way[0] == 'h';
          k.lay_out = [out, in, hard](const fs::path& work) {
            make_folders_for(work / out);
            if (hard) {
              fs::create_hard_link(work / in, work / out);
            } else {
              fs::create_symlink(fs::relative(work / in, (work / out).parent_path()), work / out);
            }
          };
          cases.push_back(k);
        }
      }
    }
  }
  // The same name: where a command lets the name be chosen.
  for (const char* in : {"WHEAT.CLS", "WHEAT.NAQ", "WHEAT.SEQ", "WHEAT.names.csv"}) {
    Case k = with_name(commands[0], "p.html", in);
    k.what = std::string("run: the page named ") + in;
    k.other = in;
    cases.push_back(k);
  }
  for (const std::string& out : commands[1].outputs) {
    for (const std::string& in : commands[1].inputs) {
      Case k = with_name(commands[1], out, in);
      k.what = "dialogue: " + out + " named " + in;
      k.other = in;
      cases.push_back(k);
    }
  }
  for (const std::string& out : commands[2].outputs) {
    // The table named as a job file: `cp wheat.csv T.CLS; import T.CLS T --force`.
    Case k{"import: the table named " + out, {"import", out, "J", "--force"}, "", {}, out, out};
    k.lay_out = [out](const fs::path& work) { fs::rename(work / "T.csv", work / out); };
    cases.push_back(k);
  }
  for (const std::string& in : commands[3].inputs) {
    Case k{"classify: --cls " + in, {"classify", "K", "--cls", in, "--force"}, "", {}, in, in};
    cases.push_back(k);
  }
  // Outputs against each other.
  const Args run = commands[0].args;
  auto run_with = [&](const std::string& what, const Args& extra, const std::string& output,
                      const std::string& other) {
    Args args = {"run", "WHEAT", "-q"};
    args.insert(args.end(), extra.begin(), extra.end());
    cases.push_back({"run: " + what, args, "", {}, output, other});
  };
  run_with("the page is a figure", {"--report", "P/fit.svg", "--plots", "P"}, "P/fit.svg",
           "P/fit.svg");
  run_with("the page has a figure's reserved name", {"--report", "P/step-7.svg", "--plots", "P"},
           "P/step-7.svg", "P/step-7.svg");
  run_with("the page is a table", {"--tables", "t", "--report", "t/groups.csv"}, "t/groups.csv",
           "t/groups.csv");
  run_with("the page is a report", {"-o", "R", "--report", "R.ALC"}, "R.ALC", "R.ALC");
  {
    Case k{"run: a report a hard link to another", run, "", {}, "R.COS", "R.SCO"};
    k.lay_out = [](const fs::path& work) {
      write_file(work / "R.SCO", "an earlier report\n");
      fs::create_hard_link(work / "R.SCO", work / "R.COS");
    };
    cases.push_back(k);
  }

  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchFolder work;
    lay_out_example(work.path());
    write_file(work.path() / "WHEAT.names.csv", kNamesHeader);
    write_file(work.path() / "T.csv", read_file(kExamples / "wheat.csv"));
    for (const auto& [name, content] : imported_job()) write_file(work.path() / name, content);
    if (c.lay_out) c.lay_out(work.path());
    const auto before = tree(work.path());
    const JobRun r = run_program(work.path(), c.args, c.input);
    EXPECT_EQ(r.status, 1) << r.error;
    const std::string first = lines_of(r.error).empty() ? "" : lines_of(r.error)[0];
    EXPECT_EQ(first.rfind("locseq: " + c.output + ": ", 0), 0u) << r.error;
    EXPECT_TRUE(holds(first, "is the same file as the")) << r.error;
    EXPECT_TRUE(holds(first, " " + c.other + "; give every file its own name")) << r.error;
    EXPECT_EQ(changes(before, tree(work.path())), "");
  }
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
      {"run, bad .SEQ record, new folders for the tables and the figures",
       {"run", "WHEAT", "--tables", "new/t", "--plots", "new/p"},
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
    EXPECT_EQ(last_line(r.error), kNoReport) << r.error;
  }
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

// Devices and pipes are written directly, after the files are committed;
// a write error there is a failed write, with the files written.
TEST(Outputs, DevicesAndPipesAreWrittenAfterTheFiles) {
  {
    SCOPED_TRACE("a character device named in the dialogue");
    ScratchFolder work;
    lay_out_example(work.path());
    const JobRun r =
        run_program(work.path(), {},
                    "N\nWHEAT.CLS\nWHEAT.NAQ\nWHEAT.SEQ\n/dev/null\nWHEAT.COS\n/dev/null\nY\n");
    EXPECT_EQ(r.status, 0) << r.error;
    struct stat st {};
    ASSERT_EQ(::stat("/dev/null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
    EXPECT_TRUE(same_text(example_reports().at("COS"), read_file(work.path() / "WHEAT.COS")));
    EXPECT_EQ(read_file(work.path() / "WHEAT.SCO"), "an earlier SCO\n");
  }
  {
    SCOPED_TRACE("the page to standard output, a pipe: locseq run ... --report /dev/stdout | cmd");
    ScratchFolder work, io;
    lay_out_example(work.path());
    Pipe out;
    const int in = open("/dev/null", O_RDONLY);
    const pid_t pid = start(work.path(), {"run", "WHEAT", "--report", "/dev/stdout"}, in, out.write,
                            io.path() / "err");
    ::close(in);
    ::close(out.write);
    out.write = -1;
    std::string page;
    char block[4096];
    for (ssize_t n; (n = ::read(out.read, block, sizeof block)) > 0;) {
      page.append(block, static_cast<std::size_t>(n));
    }
    EXPECT_EQ(wait_for(pid, 30), 0) << read_file(io.path() / "err");
    EXPECT_TRUE(same_text(example_reports().at("page"), page));
    EXPECT_TRUE(same_text(example_reports().at("SCO"), read_file(work.path() / "WHEAT.SCO")));
    // Standard output is an output: the summary goes to standard error.
    EXPECT_TRUE(holds(read_file(io.path() / "err"),
                      "\nlocseq: wrote WHEAT.SCO WHEAT.COS WHEAT.ALC, /dev/stdout\n"))
        << read_file(io.path() / "err");
  }
  {
    SCOPED_TRACE("standard output is the file -o writes: locseq run WHEAT -o R > R.SCO");
    ScratchFolder work, io;
    lay_out_example(work.path());
    const int in = open("/dev/null", O_RDONLY);
    const int out = open((work.path() / "R.SCO").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(out, 0);
    const pid_t pid = start(work.path(), {"run", "WHEAT", "-o", "R"}, in, out, io.path() / "err");
    ::close(in);
    ::close(out);
    EXPECT_EQ(wait_for(pid, 30), 0) << read_file(io.path() / "err");
    EXPECT_TRUE(holds(read_file(io.path() / "err"), "\nlocseq: wrote R.SCO R.COS R.ALC\n"))
        << read_file(io.path() / "err");
    EXPECT_TRUE(same_text(example_reports().at("SCO"), read_file(work.path() / "R.SCO")));
  }
  if (::access("/dev/full", W_OK) == 0) {
    SCOPED_TRACE("a device that takes nothing: the files are written, the write fails");
    ScratchFolder work;
    lay_out_example(work.path());
    const JobRun r = run_program(work.path(), {"run", "WHEAT", "-q", "--report", "/dev/full"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.error,
              "locseq: /dev/full: cannot write the output: no space left on device\n"
              "locseq: every output to a file was written in full\n");
    EXPECT_TRUE(same_text(example_reports().at("SCO"), read_file(work.path() / "WHEAT.SCO")));
  }
}

// SIGPIPE is ignored: standard output closed by its reader, before the run
// or after its first line (`locseq run ... | head -1`), stops what the run
// shows only; the run goes on, writes everything and ends normally.
TEST(Outputs, AClosedStandardOutputStopsWhatTheRunShowsOnly) {
  const Args options = {"--tables", "tables", "--report", "page.html"};
  ScratchFolder reference;
  lay_out_example(reference.path());
  Args args = {"run", "WHEAT", "-q"};
  args.insert(args.end(), options.begin(), options.end());
  ASSERT_EQ(run_program(reference.path(), args).status, 0);
  const auto expected = tree(reference.path());
  for (const bool console : {false, true}) {
    for (const bool first_line : {false, true}) {
      SCOPED_TRACE(std::string(console ? "--console" : "the summary") +
                   (first_line ? ", closed after the first line" : ", closed at the start"));
      ScratchFolder work, io;
      lay_out_example(work.path());
      Pipe out;
      if (!first_line) {
        ::close(out.read);  // nobody reads what the program writes
        out.read = -1;
      }
      const int in = open("/dev/null", O_RDONLY);
      ASSERT_GE(in, 0);
      args = {"run", "WHEAT"};
      args.insert(args.end(), options.begin(), options.end());
      if (console) args.push_back("--console");
      const pid_t pid = start(work.path(), args, in, out.write, io.path() / "err");
      ::close(in);
      ::close(out.write);
      out.write = -1;
      if (first_line) {
        char c = 0;
        while (::read(out.read, &c, 1) == 1 && c != '\n') {
        }
        ::close(out.read);
        out.read = -1;
      }
      EXPECT_EQ(wait_for(pid, 30), 0) << read_file(io.path() / "err");
      EXPECT_EQ(read_file(io.path() / "err"), "");
      EXPECT_EQ(changes(expected, tree(work.path())), "");
    }
  }
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
    EXPECT_EQ(read_file(io.path() / "stderr"), "locseq: stopped by a signal\n" + kNoReport + "\n");
  }
}

// Output names up to the system's limit work: the temporaries have short
// names of their own. One byte more is refused before the run.
TEST(Outputs, LongOutputNamesWorkUpToTheSystemsLimit) {
  ScratchFolder work;
  lay_out_example(work.path());
  const long longest = ::pathconf(work.path().c_str(), _PC_NAME_MAX);
  ASSERT_GT(longest, 10);
  const std::string page(static_cast<std::size_t>(longest), 'p');
  const std::string prefix(static_cast<std::size_t>(longest) - 4, 'r');  // + ".SCO"
  JobRun r = run_program(work.path(), {"run", "WHEAT", "-q", "-o", prefix, "--report", page});
  EXPECT_EQ(r.status, 0) << r.error;
  EXPECT_TRUE(same_text(example_reports().at("page"), read_file(work.path() / page)));
  EXPECT_TRUE(same_text(example_reports().at("ALC"), read_file(work.path() / (prefix + ".ALC"))));

  const auto before = tree(work.path());
  r = run_program(work.path(), {"run", "WHEAT", "-q", "--report", page + "x"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.error, "locseq: " + page + "x: cannot make the output: file name too long\n");
  EXPECT_EQ(changes(before, tree(work.path())), "");
}

TEST(Outputs, AnEmptyOutputNameIsAUsageError) {
  ScratchFolder work;
  lay_out_example(work.path());
  const auto before = tree(work.path());
  for (const Args& args : std::vector<Args>{{"run", "WHEAT", "--tables", ""},
                                            {"run", "WHEAT", "--report", ""},
                                            {"run", "WHEAT", "--plots", ""},
                                            {"run", "WHEAT", "-o", ""},
                                            {"classify", "WHEAT", "--cls", ""}}) {
    SCOPED_TRACE(args[2]);
    const JobRun r = run_program(work.path(), args);
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(holds(r.error, "the name is empty")) << r.error;
  }
  EXPECT_EQ(changes(before, tree(work.path())), "");
}

// A replaced output keeps its permissions; a new one gets what the umask
// leaves of rw-rw-rw-.
TEST(Outputs, AReplacedOutputKeepsItsModeAndANewOneFollowsTheUmask) {
  const struct {
    mode_t umask, earlier;  // earlier 0: no earlier file
    mode_t expected;
  } cases[] = {
      {022, 0600, 0600}, {022, 0640, 0640}, {077, 0664, 0664}, {022, 0, 0644},
      {077, 0, 0600},    {002, 0, 0664},    {027, 0, 0640},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("umask " + std::to_string(c.umask) + ", earlier " + std::to_string(c.earlier));
    ScratchFolder work;
    lay_out_example(work.path());
    const std::vector<fs::path> outputs = {work.path() / "WHEAT.SCO", work.path() / "page.html",
                                           work.path() / "tables" / "steps.csv"};
    for (const fs::path& p : outputs) {
      if (c.earlier == 0) {
        fs::remove(p);
      } else {
        write_file(p, "an earlier output\n");
        ASSERT_EQ(::chmod(p.c_str(), c.earlier), 0);
      }
    }
    const mode_t saved = ::umask(c.umask);
    const JobRun r = run_program(
        work.path(), {"run", "WHEAT", "-q", "--tables", "tables", "--report", "page.html"});
    ::umask(saved);
    ASSERT_EQ(r.status, 0) << r.error;
    for (const fs::path& p : outputs) {
      struct stat st {};
      ASSERT_EQ(::stat(p.c_str(), &st), 0);
      EXPECT_EQ(st.st_mode & 07777, c.expected) << p;
    }
  }
}

}  // namespace
}  // namespace locseq::testing
