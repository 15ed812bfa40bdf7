#include <CLI/CLI.hpp>
#include <fstream>
#include <iostream>

#include "check/job_check.h"
#include "cli/commands.h"
#include "cli/job_files.h"
#include "cli/job_run.h"
#include "cli/options.h"
#include "cli/warnings.h"
#include "core/input_error.h"

namespace locseq::cli {

CLI::App* add_check_command(CLI::App& app, CheckOptions& o) {
  CLI::App* check = app.add_subcommand(
      "check", "Read and check a whole job without running it or writing any file.");
  check->add_option("JOB", o.job, "The job: JOB.CLS, JOB.NAQ and JOB.SEQ")->required();
  add_groups_option(*check, o.groups,
                    "The truncation level the run would get (default: the square-root rule)");
  check->add_flag("-s,--standardize", o.standardize, "As for run");
  add_areas_option(*check, o.areas);
  check->footer(
      "Every error and warning is shown as FILE:LINE on standard error, then a summary line on "
      "standard output.\nExit status: 0 no error (warnings only, or none), 1 errors, 2 a usage "
      "error.");
  return check;
}

int check_command(const CheckOptions& o, Streams s) {
  const std::string cls = o.job + ".CLS", naq = o.job + ".NAQ", seq = o.job + ".SEQ";
  CheckWarnings warnings(s.err);
  std::size_t errors = 0;
  auto show = [&](const InputError& e) {
    s.err << "locseq: " << e.what() << '\n';
    ++errors;
  };
  std::ifstream files[3];
  const std::string names[3] = {cls, naq, seq};
  for (int k = 0; k < 3; ++k) {
    files[k].open(names[k], std::ios::binary);
    if (!files[k].is_open()) show(InputError(names[k], 0, "cannot open the input file"));
  }
  if (errors == 0) {
    locseq::check::CheckOptions options;
    options.groups = o.groups;
    options.standardise = o.standardize;
    if (o.areas == "auto") options.areas = std::nullopt;
    for (const InputError& e : locseq::check::check_job({files[0], cls}, {files[1], naq},
                                                        {files[2], seq}, options, warnings)) {
      show(e);
    }
  }
  auto count = [](std::size_t n, const char* what) {
    return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
  };
  s.out << "locseq check " << o.job << ": " << count(errors, "error") << ", "
        << count(warnings.count(), "warning") << '\n';
  return errors == 0 ? 0 : 1;
}

}  // namespace locseq::cli
