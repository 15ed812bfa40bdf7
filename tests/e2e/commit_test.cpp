// A set of outputs is replaced as a whole, across all its folders: with a
// fault injected at each rename, link and unlink of the commit, with the
// process killed there, stopped by a signal at random moments, or racing
// another command for the same files, the folders hold the whole earlier
// set or the whole new one once the process has ended (after a kill, once
// the next command that writes there has cleaned up), and no temporary
// file or folder stays behind.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "support/command_runner.h"

namespace locseq::testing {
namespace {

using Args = std::vector<std::string>;
using Tree = std::map<std::string, std::string>;

const fs::path kFaulty = LOCSEQ_FAULTY_PROGRAM;

// A scratch folder on a memory file system where there is one: these
// tests commit hundreds of times, and syncing to a disk is not what they
// test.
class FastFolder {
 public:
  FastFolder() {
    const fs::path base =
        fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    std::random_device rd;
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
      const fs::path p = base / ("locseq-test-" + std::to_string(rd()));
      if (fs::create_directory(p)) path_ = p;
    }
    if (path_.empty()) throw std::runtime_error("cannot make a scratch folder");
  }
  ~FastFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  FastFolder(const FastFolder&) = delete;
  FastFolder& operator=(const FastFolder&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

// A job of `years` years, each year a step, made once by the program from
// a generated table: few locations and genotypes, so that a run is quick.
Tree make_job(int years) {
  std::mt19937 random(static_cast<unsigned>(years));
  std::uniform_real_distribution<double> value(1.0, 9.0);
  std::string table = "year,location,genotype,value\n";
  for (int y = 1; y <= years; ++y) {
    for (int l = 1; l <= 5; ++l) {
      for (int g = 1; g <= 3; ++g) {
        table += std::to_string(y) + ",L" + std::to_string(l) + ",G" + std::to_string(g) + "," +
                 std::to_string(value(random)).substr(0, 4) + "\n";
      }
    }
  }
  FastFolder work;
  write_file(work.path() / "t.csv", table);
  const JobRun r = run_program(work.path(), {"import", "t.csv", "J", "--proximity", "complete"});
  EXPECT_EQ(r.status, 0) << r.error;
  Tree job;
  for (const char* ext : {".CLS", ".NAQ", ".SEQ", ".names.csv"}) {
    job[std::string("J") + ext] = read_file(work.path() / (std::string("J") + ext));
  }
  return job;
}

// The run under test writes into four folders: the reports beside the
// job, the tables, the page and the figures.
const Args kRun = {"run",           "J",       "-q", "--areas", "auto", "--tables", "t", "--report",
                   "web/page.html", "--plots", "P"};

// The earlier set: every output of the run there already, and figures of
// more steps than the run has (which the new set no longer holds).
void write_job(const fs::path& work, const Tree& job) {
  for (const auto& [name, content] : job) {
    write_file(work / name, content);
    fs::last_write_time(work / name, fs::file_time_type{});  // the page shows it
  }
}

void lay_out(const fs::path& work, const Tree& job, int stale_steps) {
  write_job(work, job);
  for (const char* dir : {"t", "web", "P"}) fs::create_directories(work / dir);
  for (const char* name :
       {"J.SCO", "J.COS", "J.ALC", "t/steps.csv", "t/fit_by_year.csv", "t/groups.csv",
        "t/distances.csv", "web/page.html", "P/fit.svg", "P/fit_by_year.svg", "P/stability.svg"}) {
    write_file(work / name, std::string("earlier ") + name + "\n");
  }
  for (int k = 1; k <= stale_steps; ++k) {
    const std::string name = "P/step-" + std::to_string(k) + ".svg";
    write_file(work / name, "earlier " + name + "\n");
  }
}

// The folder's files without the work folders of commands.
Tree visible(const Tree& all) {
  Tree out;
  for (const auto& [name, content] : all) {
    if (name.find(".locseq-") == std::string::npos) out[name] = content;
  }
  return out;
}

std::size_t leftovers(const Tree& all) {
  return all.size() - visible(all).size();
}

std::size_t count(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

struct Sets {
  Tree job, earlier, fresh;  // the job, the earlier set, the new set
  long operations = 0;       // renames, links and unlinks of the commit
};

const Sets& thirty_steps() {
  static const Sets sets = [] {
    Sets s;
    s.job = make_job(30);
    FastFolder work, io;
    lay_out(work.path(), s.job, 33);
    s.earlier = tree(work.path());
    const JobRun r = run_program(work.path(), kRun, "", 60, kFaulty,
                                 {"LOCSEQ_FAULT_COUNT=" + (io.path() / "count").string()});
    EXPECT_EQ(r.status, 0) << r.error;
    s.fresh = tree(work.path());
    s.operations = std::stol(read_file(io.path() / "count"));
    return s;
  }();
  return sets;
}

// A fault at each operation of the commit: each fails in turn (the command
// rolls back by itself, or, past the commit, leaves only a work folder for
// the next command to remove) or kills the process there (the next command
// that writes in the folders rolls back or cleans up, saying so in one
// line).
void fault_at_each_operation(bool kill) {
  const Sets& s = thirty_steps();
  ASSERT_EQ(s.fresh.count("P/step-30.svg"), 1u);
  ASSERT_EQ(s.fresh.count("P/step-31.svg"), 0u) << "a figure of the earlier run was left";
  ASSERT_GT(s.operations, 3 * 44);  // every file linked, moved in and unlinked
  for (long n = 1; n <= s.operations; ++n) {
    SCOPED_TRACE("operation " + std::to_string(n) + " of " + std::to_string(s.operations));
    FastFolder work;
    lay_out(work.path(), s.job, 33);
    std::vector<std::string> env = {"LOCSEQ_FAULT=commit:" + std::to_string(n)};
    if (kill) env.push_back("LOCSEQ_FAULT_KILL=1");
    const JobRun r = run_program(work.path(), kRun, "", 60, kFaulty, env);
    const Tree after = tree(work.path());
    if (!kill) {
      ASSERT_TRUE(r.status == 0 || r.status == 1) << r.error;
      EXPECT_EQ(changes(r.status == 0 ? s.fresh : s.earlier, visible(after)), "") << r.error;
      if (r.status == 1) {
        EXPECT_EQ(leftovers(after), 0u);
      }
    } else {
      ASSERT_EQ(r.status, 128 + SIGKILL) << r.error;
    }
    // The next command that writes there (stopped by a read fault once it
    // has dealt with what the other left).
    const JobRun next = run_program(work.path(), kRun, "", 60, kFaulty, {"LOCSEQ_FAULT=read:1"});
    EXPECT_EQ(next.status, 1) << next.error;
    const Tree cleaned = tree(work.path());
    EXPECT_EQ(leftovers(cleaned), 0u);
    EXPECT_TRUE(cleaned == s.earlier || cleaned == s.fresh) << changes(s.earlier, cleaned);
    const std::size_t said = count(next.error, ": put back the earlier outputs of a command") +
                             count(next.error, ": removed the temporary files of a command");
    EXPECT_EQ(said, leftovers(after) > 0 ? 1u : 0u) << next.error;  // one line per dead command
    if (visible(after) != s.earlier && visible(after) != s.fresh) {
      EXPECT_EQ(changes(s.earlier, cleaned), "");
      EXPECT_EQ(count(next.error, ": put back the earlier outputs of a command that was stopped"),
                1u)
          << next.error;
    }
  }
}

TEST(Commit, AFaultAtEachOperationLeavesTheWholeEarlierOrTheWholeNewSet) {
  fault_at_each_operation(/*kill=*/false);
}

TEST(Commit, AKillAtEachOperationIsRolledBackOrCompletedByTheNextCommand) {
  fault_at_each_operation(/*kill=*/true);
}

// Starts the program in `folder`, its streams kept in `io`.
pid_t start(const fs::path& folder, const fs::path& io, const Args& args) {
  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    const int in = open("/dev/null", O_RDONLY);
    const int out = open((io / "out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open((io / "err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || err < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0 ||
        chdir(folder.c_str()) != 0) {
      _exit(127);
    }
    exec_program(args);
  }
  return pid;
}

// A 300-step run with its figures, stopped at 50 random moments: no
// temporary file or folder stays, nor the folder made for the figures.
TEST(Commit, ARunStoppedAtRandomMomentsLeavesNothingBehind) {
  const Tree job = make_job(300);
  const Args args = {"run", "J", "-q", "--areas", "auto", "--tables", "t", "--plots", "new/P"};
  FastFolder timing;
  write_job(timing.path(), job);
  const auto begin = std::chrono::steady_clock::now();
  ASSERT_EQ(run_program(timing.path(), args).status, 0);
  const auto whole = std::chrono::steady_clock::now() - begin;
  const Tree fresh = tree(timing.path());

  std::mt19937 random(2027);
  std::uniform_int_distribution<long> moment(
      0, std::chrono::duration_cast<std::chrono::microseconds>(whole).count());
  const int signals[] = {SIGINT, SIGTERM, SIGHUP};
  for (int k = 0; k < 50; ++k) {
    const int sig = signals[k % 3];
    const long at = moment(random);
    SCOPED_TRACE(std::string(strsignal(sig)) + " after " + std::to_string(at) + " us");
    FastFolder work, io;
    write_job(work.path(), job);
    const Tree before = tree(work.path());
    const pid_t pid = start(work.path(), io.path(), args);
    std::this_thread::sleep_for(std::chrono::microseconds(at));
    ::kill(pid, sig);
    const int status = wait_for(pid, 60);
    const Tree after = tree(work.path());
    const std::string err = read_file(io.path() / "err");
    EXPECT_EQ(leftovers(after), 0u) << err;
    if (status == 128 + sig && after == before) {
      // Stopped (the outputs prepared or not yet), or ended by the signal
      // before the program had set up its handler.
      const std::string stopped = "locseq: stopped by a signal\n";
      EXPECT_TRUE(err.empty() || err == stopped ||
                  err == stopped +
                             "locseq: no report was written; earlier reports were left "
                             "unchanged\n")
          << err;
    } else {
      // The signal came too late to stop the run (or before it set up).
      EXPECT_TRUE(status == 0 || status == 128 + sig) << err;
      EXPECT_TRUE(after == fresh || after == before) << err;
    }
  }

  // A run killed outright leaves its temporaries to the next command.
  FastFolder work, io;
  write_job(work.path(), job);
  fs::create_directories(work.path() / "new" / "P");
  const pid_t pid = start(work.path(), io.path(), args);
  ASSERT_TRUE([&] {
    for (int i = 0; i < 5000; ++i) {
      if (leftovers(tree(work.path())) > 0) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
  }());
  ::kill(pid, SIGKILL);
  wait_for(pid, 60);
  EXPECT_GT(leftovers(tree(work.path())), 0u);
  const JobRun next = run_program(work.path(), args, "", 60, kFaulty, {"LOCSEQ_FAULT=read:1"});
  EXPECT_EQ(leftovers(tree(work.path())), 0u);
  // One line for the dead command, whatever the number of its folders.
  EXPECT_EQ(count(next.error, ": removed the temporary files of a command that did not end"), 1u)
      << next.error;
}

// Two imports into one job at once, neither with --force: exactly one
// makes the whole job, the other ends with status 1, and every job file is
// the winner's.
TEST(Commit, OfTwoImportsAtOnceExactlyOneWinsTheWholeJob) {
  FastFolder tables;
  std::string a = "year,location,genotype,value\n", b = a;
  for (int y = 1; y <= 3; ++y) {
    for (int l = 1; l <= 6; ++l) {
      for (int g = 1; g <= 4; ++g) {
        const std::string key =
            std::to_string(y) + ",L" + std::to_string(l) + ",G" + std::to_string(g);
        a += key + "," + std::to_string(y + l * g) + "\n";
        b += key + "," + std::to_string(y * l + g) + "\n";
      }
    }
  }
  // What each import makes alone.
  Tree made[2];
  for (int k = 0; k < 2; ++k) {
    FastFolder work;
    write_file(work.path() / "a.csv", a);
    write_file(work.path() / "b.csv", b);
    ASSERT_EQ(run_program(work.path(),
                          {"import", k == 0 ? "a.csv" : "b.csv", "J", "--proximity", "complete"})
                  .status,
              0);
    made[k] = tree(work.path());
  }
  ASSERT_NE(made[0], made[1]);
  for (int pair = 0; pair < 20; ++pair) {
    SCOPED_TRACE("pair " + std::to_string(pair));
    FastFolder work, io_a, io_b;
    write_file(work.path() / "a.csv", a);
    write_file(work.path() / "b.csv", b);
    const pid_t pa =
        start(work.path(), io_a.path(), {"import", "a.csv", "J", "--proximity", "complete"});
    const pid_t pb =
        start(work.path(), io_b.path(), {"import", "b.csv", "J", "--proximity", "complete"});
    const int sa = wait_for(pa, 60), sb = wait_for(pb, 60);
    ASSERT_TRUE((sa == 0 && sb == 1) || (sa == 1 && sb == 0))
        << sa << " " << sb << "\n"
        << read_file(io_a.path() / "err") << read_file(io_b.path() / "err");
    const std::string lost = read_file((sa == 1 ? io_a : io_b).path() / "err");
    EXPECT_NE(lost.find("the file exists already"), std::string::npos) << lost;
    EXPECT_EQ(changes(made[sa == 0 ? 0 : 1], tree(work.path())), "");
  }
}

}  // namespace
}  // namespace locseq::testing
