// Every command opens every input one way: missing, a directory,
// unreadable, a pipe with no writer, or failing to read midway, each input
// of each command gives one line "locseq: FILE: ..." with one wording per
// fault and status 1, at once: nothing aborts, hangs or misleads.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "support/command_runner.h"

namespace locseq::testing {
namespace {

using Args = std::vector<std::string>;

const fs::path kExamples = LOCSEQ_EXAMPLES_DIR;
const fs::path kFaulty = LOCSEQ_FAULTY_PROGRAM;

// Runs `program` in `folder`, as nobody (65534) when the test runs as root
// (root reads any file), with `env` added.
JobRun run_as_user(const fs::path& program, const fs::path& folder, const Args& args,
                   const std::string& input, const std::vector<std::string>& env) {
  ScratchFolder io;
  ::chmod(io.path().c_str(), 0777);
  write_file(io.path() / "in", input);
  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    const int in = open((io.path() / "in").c_str(), O_RDONLY);
    const int out = open((io.path() / "out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    const int err = open((io.path() / "err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (in < 0 || out < 0 || err < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0 ||
        chdir(folder.c_str()) != 0) {
      _exit(127);
    }
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(126);
    exec_with(program, args, env);
  }
  JobRun r;
  r.status = wait_for(pid, 5);  // -1: it hung
  r.console = read_file(io.path() / "out");
  r.error = read_file(io.path() / "err");
  return r;
}

TEST(Inputs, EveryFaultOfEveryInputOfEveryCommandIsOneLine) {
  struct Input {
    std::string name;
    bool optional = false;  // read only when it is there
  };
  struct Command {
    std::string name;
    Args args;
    std::string answers;
    std::vector<Input> inputs;
  };
  const std::vector<Command> commands = {
      {"check", {"check", "D"}, "", {{"D.CLS"}, {"D.NAQ"}, {"D.SEQ"}, {"D.settings", true}}},
      {"run",
       {"run", "D", "-q", "--report", "page.html"},
       "",
       {{"D.CLS"}, {"D.NAQ"}, {"D.SEQ"}, {"D.names.csv", true}, {"D.settings", true}}},
      {"dialogue", {}, "Y\nD\nY\n", {{"D.CLS"}, {"D.NAQ"}, {"D.SEQ"}}},
      {"classify",
       {"classify", "D", "--cls", "new.CLS"},
       "",
       {{"D.NAQ"}, {"D.SEQ"}, {"D.CLS", true}}},
      {"import", {"import", "DATA.csv", "J"}, "", {{"DATA.csv"}}},
  };
  // The example job as D (with the sizes import writes in .NAQ, for
  // classify), and its table.
  ScratchFolder source;
  write_file(source.path() / "wheat.csv", read_file(kExamples / "wheat.csv"));
  ASSERT_EQ(run_program(source.path(), {"import", "wheat.csv", "D"}).status, 0);

  const std::vector<std::string> faults = {"missing", "a directory", "unreadable", "a pipe",
                                           "a read error midway"};
  for (const Command& c : commands) {
    for (const Input& in : c.inputs) {
      for (const std::string& fault : faults) {
        SCOPED_TRACE(c.name + ", " + in.name + " " + fault);
        ScratchFolder work;
        ::chmod(work.path().c_str(), 0777);
        for (const char* name : {"D.CLS", "D.NAQ", "D.SEQ", "D.names.csv", "D.settings"}) {
          write_file(work.path() / name, read_file(source.path() / name));
        }
        write_file(work.path() / "DATA.csv", read_file(source.path() / "wheat.csv"));
        const fs::path file = work.path() / in.name;
        std::vector<std::string> env;
        fs::path program = program_path();
        std::string expected = "locseq: " + in.name + ": cannot open the input file: ";
        if (fault == "missing") {
          fs::remove(file);
          expected += "it does not exist";
        } else if (fault == "a directory") {
          fs::remove(file);
          fs::create_directory(file);
          expected += "it is a directory";
        } else if (fault == "unreadable") {
          ::chmod(file.c_str(), 0200);
          expected += "permission denied";
        } else if (fault == "a pipe") {
          fs::remove(file);
          ASSERT_EQ(::mkfifo(file.c_str(), 0666), 0);
          expected += "it is not a regular file (a pipe)";
        } else {
          program = kFaulty;
          env.push_back("LOCSEQ_FAULT=read:2:" + in.name);  // after the first bytes
          expected = "locseq: " + in.name + ": cannot read the input file: input/output error";
        }
        const JobRun r = run_as_user(program, work.path(), c.args, c.answers, env);
        if (in.optional && fault == "missing") {
          EXPECT_EQ(r.status, 0) << r.error;
          continue;
        }
        EXPECT_EQ(r.status, 1) << r.error;
        const std::vector<std::string> lines = lines_of(r.error);
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines[0], expected);
        // A read error met during a run: its reports were prepared.
        const bool prepared =
            lines.size() == 2 && lines[1] ==
                                     "locseq: no report was written; earlier reports were left "
                                     "unchanged";
        EXPECT_TRUE(lines.size() == 1 || (fault == "a read error midway" && prepared)) << r.error;
      }
    }
  }
}

}  // namespace
}  // namespace locseq::testing
