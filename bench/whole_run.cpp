// Times whole runs of the program on a job folder: the program is started in
// the folder with the console answers on standard input (the console output
// goes to /dev/null), and its wall time, CPU time and peak resident memory
// are taken from wait4().
//
//   whole_run [--runs N] [--program PATH] [--cache-mb N] JOBDIR
//
// With --cache-mb the program runs as `locseq run JOB --quiet --cache-mb N`
// (the job named by the answers) instead of the dialogue. With --sweep A:B it
// runs `locseq run JOB --quiet` N times, then the same with `--sweep A:B`,
// and prints how many times the single run the sweep takes.
//
// The effective .SEQ throughput is the number of .SEQ bytes that the passes
// read, summed over all passes of all blocks, divided by the wall time.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

[[noreturn]] void die(const std::string& message) {
  std::fprintf(stderr, "whole_run: %s\n", message.c_str());
  std::exit(1);
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) die("cannot read " + path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t nl = text.find('\n', pos);
    if (nl == std::string::npos) nl = text.size();
    std::string line = text.substr(pos, nl - pos);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    pos = nl + 1;
  }
  return lines;
}

// A name answer: the first 50 characters of the line, trailing blanks dropped.
std::string name_answer(const std::string& line) {
  std::string s = line.substr(0, 50);
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

// The names of .CLS and .SEQ that the answers give.
void input_names(const std::vector<std::string>& answers, std::string& cls, std::string& seq) {
  if (answers.size() < 2) die("the answers hold no file names");
  if (!answers[0].empty() && (answers[0][0] == 'Y' || answers[0][0] == 'y')) {
    const std::string job = name_answer(answers[1]);
    cls = job + ".CLS";
    seq = job + ".SEQ";
  } else {
    if (answers.size() < 4) die("the answers hold fewer than three file names");
    cls = name_answer(answers[1]);
    seq = name_answer(answers[3]);
  }
}

// The shape of the sequence: the first data year and the number of blocks,
// read from .CLS the way the driver reads it.
struct Sequence {
  std::int32_t IYS = 0;
  std::int32_t blocks = 0;
};

Sequence read_sequence(const std::string& cls_path) {
  const std::vector<std::string> lines = lines_of(read_file(cls_path));
  std::size_t next = 0;  // the next line to read
  // Free format: n integers over as many lines as they need; the rest of the
  // line of the last one is skipped.
  auto integers = [&](std::size_t n) {
    std::vector<long> values;
    while (values.size() < n) {
      if (next >= lines.size()) die(cls_path + " ends inside a free-format read");
      std::string line = lines[next++];
      std::replace(line.begin(), line.end(), ',', ' ');
      std::istringstream in(line);
      long v = 0;
      while (values.size() < n && in >> v) values.push_back(v);
    }
    return values;
  };
  const std::vector<long> head = integers(5);
  const long maxl = head[1];
  next += 2;  // title, options
  if (next >= lines.size()) die(cls_path + " has no sequence-years record");
  Sequence s;
  std::string iys = lines[next++].substr(0, 4);
  iys.erase(std::remove(iys.begin(), iys.end(), ' '), iys.end());
  s.IYS = static_cast<std::int32_t>(std::atol(iys.c_str()));
  while (next < lines.size()) {
    ++next;  // block header
    const long retained = integers(1)[0];
    integers(static_cast<std::size_t>(maxl));  // elimination vector
    next += static_cast<std::size_t>(std::max(0L, retained - 1));
    if (next > lines.size()) die(cls_path + " ends inside a hierarchy");
    ++s.blocks;
  }
  return s;
}

// Bytes of .SEQ read by the passes: a pass over years IYS to L reads from
// the start up to and including the first record of a year above L (read,
// then stepped back), or to the end of the file when there is none. Block k
// runs two passes over IYS to IYS+k-1.
std::int64_t bytes_over_passes(const std::string& seq_path, const Sequence& s,
                               std::int64_t& file_size) {
  const std::string text = read_file(seq_path);
  file_size = static_cast<std::int64_t>(text.size());
  // The records that raise the highest year so far: (year, end of the line).
  std::vector<std::pair<long, std::int64_t>> rises;
  long highest = std::numeric_limits<long>::min();
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t nl = text.find('\n', pos);
    const std::size_t end = nl == std::string::npos ? text.size() : nl + 1;
    std::size_t p = pos;
    while (p < end && (text[p] == ' ' || text[p] == '\t')) ++p;
    const bool negative = p < end && text[p] == '-';
    if (p < end && (text[p] == '-' || text[p] == '+')) ++p;
    if (p < end && text[p] >= '0' && text[p] <= '9') {
      long year = 0;
      while (p < end && text[p] >= '0' && text[p] <= '9') year = year * 10 + (text[p++] - '0');
      if (negative) year = -year;
      if (year > highest) {
        highest = year;
        rises.emplace_back(year, static_cast<std::int64_t>(end));
      }
    }
    pos = end;
  }
  std::int64_t total = 0;
  for (std::int32_t k = 1; k <= s.blocks; ++k) {
    const long last = long{s.IYS} + k - 1;
    std::int64_t stop = file_size;
    for (const auto& [year, end] : rises) {
      if (year > last) {
        stop = end;
        break;
      }
    }
    total += 2 * stop;
  }
  return total;
}

struct Run {
  double wall = 0, user = 0, sys = 0, mb_per_s = 0, rss_mib = 0;
};

double seconds(const timeval& t) {
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
}

// How the program is started: the dialogue (no arguments), or `run` with
// these arguments.
using Arguments = std::vector<std::string>;

Run run_once(const std::string& program, const std::string& dir, const std::string& answers,
             const Arguments& args, std::int64_t bytes) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid < 0) die(std::string("fork: ") + std::strerror(errno));
  if (pid == 0) {
    if (chdir(dir.c_str()) != 0) _exit(126);
    const int in = open(answers.c_str(), O_RDONLY);
    const int out = open("/dev/null", O_WRONLY);
    if (in < 0 || out < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0) _exit(126);
    close(in);
    close(out);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  int status = 0;
  rusage ru{};
  if (wait4(pid, &status, 0, &ru) != pid) die(std::string("wait4: ") + std::strerror(errno));
  const auto stop = std::chrono::steady_clock::now();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    die("the program did not end normally (status " + std::to_string(status) + ")");
  }
  Run r;
  r.wall = std::chrono::duration<double>(stop - start).count();
  r.user = seconds(ru.ru_utime);
  r.sys = seconds(ru.ru_stime);
  r.mb_per_s = static_cast<double>(bytes) / r.wall / 1e6;
  r.rss_mib = static_cast<double>(ru.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB
  return r;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
}

std::string absolute(const std::string& path) {
  if (!path.empty() && path[0] == '/') return path;
  char cwd[4096];
  if (getcwd(cwd, sizeof cwd) == nullptr) die("getcwd failed");
  return std::string(cwd) + "/" + path;
}

}  // namespace

// Times `runs` runs, a row each and their medians; returns the medians of
// wall and user time.
std::pair<double, double> time_runs(int runs, const std::string& program, const std::string& dir,
                                    const std::string& answers, const Arguments& args,
                                    std::int64_t bytes) {
  std::printf("\n  run   wall s   user s    sys s   .SEQ MB/s   peak RSS MiB\n");
  std::vector<double> wall, user, sys, rate, rss;
  for (int i = 1; i <= runs; ++i) {
    const Run r = run_once(program, dir, answers, args, bytes);
    std::printf("  %3d %8.3f %8.3f %8.3f %11.1f %14.1f\n", i, r.wall, r.user, r.sys, r.mb_per_s,
                r.rss_mib);
    std::fflush(stdout);
    wall.push_back(r.wall);
    user.push_back(r.user);
    sys.push_back(r.sys);
    rate.push_back(r.mb_per_s);
    rss.push_back(r.rss_mib);
  }
  std::printf("  med %8.3f %8.3f %8.3f %11.1f %14.1f\n", median(wall), median(user), median(sys),
              median(rate), median(rss));
  return {median(wall), median(user)};
}

int main(int argc, char** argv) {
  int runs = 5;
  std::string program = LOCSEQ_PROGRAM;
  std::string dir, cache_mb, sweep;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--runs" && i + 1 < argc) {
      runs = std::atoi(argv[++i]);
    } else if (arg == "--program" && i + 1 < argc) {
      program = argv[++i];
    } else if (arg == "--cache-mb" && i + 1 < argc) {
      cache_mb = argv[++i];
    } else if (arg == "--sweep" && i + 1 < argc) {
      sweep = argv[++i];
    } else if (dir.empty() && arg[0] != '-') {
      dir = arg;
    } else {
      dir.clear();
      break;
    }
  }
  if (dir.empty() || runs < 1) {
    std::fprintf(stderr,
                 "usage: whole_run [--runs N] [--program PATH] [--cache-mb N] [--sweep A:B] "
                 "JOBDIR\n");
    return 2;
  }
  program = absolute(program);
  dir = absolute(dir);
  const std::string answers = dir + "/answers";

  std::string cls_name, seq_name;
  const std::vector<std::string> answer_lines = lines_of(read_file(answers));
  input_names(answer_lines, cls_name, seq_name);
  Arguments args;
  if (!cache_mb.empty() || !sweep.empty()) {
    if (cls_name.size() < 4 || cls_name.substr(cls_name.size() - 4) != ".CLS") {
      die("--cache-mb and --sweep need answers that take the default names");
    }
    args = {"run", cls_name.substr(0, cls_name.size() - 4), "--quiet"};
    if (!cache_mb.empty()) args.insert(args.end(), {"--cache-mb", cache_mb});
  }
  const Sequence s = read_sequence(dir + "/" + cls_name);
  std::int64_t seq_size = 0;
  const std::int64_t bytes = bytes_over_passes(dir + "/" + seq_name, s, seq_size);

  double load = 0.0;
  if (std::FILE* f = std::fopen("/proc/loadavg", "r")) {
    if (std::fscanf(f, "%lf", &load) != 1) load = 0.0;
    std::fclose(f);
  }
  std::printf("whole_run: %s in %s\n", program.c_str(), dir.c_str());
  if (args.empty()) {
    std::printf("  the dialogue, with the default year cache\n");
  } else if (!cache_mb.empty()) {
    std::printf("  locseq run ... --cache-mb %s%s\n", cache_mb.c_str(),
                cache_mb == "0" ? " (.SEQ read again in every pass)" : "");
  } else {
    std::printf("  locseq run ..., then locseq run ... --sweep %s\n", sweep.c_str());
  }
  std::printf("  %s: %lld bytes; %d blocks from year %d, two passes each\n", seq_name.c_str(),
              static_cast<long long>(seq_size), s.blocks, s.IYS);
  std::printf("  .SEQ bytes read over all passes: %lld (%.1f x the file)\n",
              static_cast<long long>(bytes),
              static_cast<double>(bytes) / static_cast<double>(seq_size));
  std::printf("  %ld cores online, 1-minute load average %.2f at the start (other jobs count)\n",
              sysconf(_SC_NPROCESSORS_ONLN), load);
  const auto [wall, user] = time_runs(runs, program, dir, answers, args, bytes);
  if (!sweep.empty()) {
    Arguments swept = args;
    swept.insert(swept.end(), {"--sweep", sweep});
    std::printf("\n  with --sweep %s:\n", sweep.c_str());
    const auto [sweep_wall, sweep_user] = time_runs(runs, program, dir, answers, swept, bytes);
    std::printf("\n  the sweep takes %.2f x the single run's wall time, %.2f x its user time\n",
                sweep_wall / wall, sweep_user / user);
  }
  std::printf("\n  (MB = 10^6 bytes; the median of each column is taken on its own)\n");
  return 0;
}
