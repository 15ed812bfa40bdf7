// The commands of the program. Each takes its options (already parsed) and
// the standard streams, and returns the exit status: 0 success; 1 bad input
// or a failed write; 3 a job refused because its work areas are too small.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>

namespace CLI {
class App;
}

namespace locseq::cli {

struct Streams {
  std::istream& in;
  std::ostream& out;
  std::ostream& err;
};

// No arguments: the dialogue on the console, which names the files and
// answers the questions. Status 0 also for a refused job.
int dialogue_command(Streams s);

struct RunOptions {
  std::string job;                     // JOB: reads JOB.CLS, JOB.NAQ, JOB.SEQ
  std::optional<std::int32_t> groups;  // -g: the truncation level
  bool standardize = false;            // -s: standardise again
  std::string out;                     // -o: the prefix of the reports (JOB when empty)
  std::string tables;                  // --tables: a folder for the CSV tables
  bool quiet = false;                  // -q: nothing on standard output
  std::string areas = "fixed";         // --areas: fixed or auto
};
CLI::App* add_run_command(CLI::App& app, RunOptions& o);
int run_command(const RunOptions& o, Streams s);

struct CheckOptions {
  std::string job;
  std::optional<std::int32_t> groups;
  bool standardize = false;
  std::string areas = "fixed";
};
CLI::App* add_check_command(CLI::App& app, CheckOptions& o);
int check_command(const CheckOptions& o, Streams s);

// The whole command line: the dialogue without arguments, else one
// command; usage errors give status 2.
int main(int argc, const char* const* argv, Streams s);

}  // namespace locseq::cli
