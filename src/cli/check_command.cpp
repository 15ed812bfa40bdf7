#include <CLI/CLI.hpp>
#include <iostream>
#include <optional>

#include "check/job_check.h"
#include "cli/commands.h"
#include "cli/job_run.h"
#include "cli/job_settings.h"
#include "cli/options.h"
#include "cli/progress.h"
#include "cli/warnings.h"
#include "core/input_error.h"
#include "files/input_file.h"

namespace locseq::cli {

CLI::App* add_check_command(CLI::App& app, CheckOptions& o) {
  CLI::App* check = app.add_subcommand(
      "check", "Read and check a whole job without running it or writing any file.");
  check
      ->add_option("JOB", o.job,
                   "The job: JOB.CLS, JOB.NAQ and JOB.SEQ, and JOB.settings when there")
      ->required();
  add_groups_option(*check, o.groups,
                    "The truncation level the run would get (default: groups of JOB.settings, "
                    "else the square-root rule)");
  add_standardize_options(*check, o.standardize, o.no_standardize, "As for run");
  add_areas_option(*check, o.areas);
  check->footer(
      "Every error and warning is shown as FILE:LINE on standard error, then a summary line on "
      "standard output.\nExit status: 0 no error (warnings only, or none), 1 errors, 2 a usage "
      "error.");
  return check;
}

int check_command(const CheckOptions& o, Streams standard) {
  ProgressDisplay display(standard, "locseq check", true);
  const Streams s = display.streams();
  const std::string names[3] = {o.job + ".CLS", o.job + ".NAQ", o.job + ".SEQ"};
  CheckWarnings warnings(s.err);
  std::size_t errors = 0, settings_warnings = 0;
  auto show = [&](const InputError& e) {
    s.err << "locseq: " << e.what() << '\n';
    ++errors;
  };
  JobRun none;
  const int status = report_failures(
      s.out, s.err, none,
      [&] {
        std::optional<files::InputFile> files[3];
        for (int k = 0; k < 3; ++k) {
          try {
            files[k].emplace(files::open_input(names[k]));
          } catch (const InputError& e) {
            show(e);
          }
        }
        if (errors == 0) {
          const GivenSettings given = given_settings(o.groups, o.standardize, o.no_standardize);
          JobSettings settled;
          settled.groups = o.groups;
          settled.standardise = o.standardize;
          try {
            settled = settle_settings(names[0], given, s.err);
          } catch (const InputError& e) {
            show(e);
          }
          settings_warnings = settled.warnings;
          if (settled.refusal) show(*settled.refusal);
          locseq::check::CheckOptions options;
          options.groups = settled.groups;
          options.standardise = settled.standardise;
          if (o.areas == "auto") options.areas = std::nullopt;
          for (const InputError& e : locseq::check::check_job(
                   {files[0]->stream(), names[0]}, {files[1]->stream(), names[1]},
                   {files[2]->stream(), names[2]}, options, warnings)) {
            // The block refused beforehand, met again.
            if (settled.refusal && e.file() == settled.refusal->file() &&
                e.line() == settled.refusal->line()) {
              continue;
            }
            show(e);
          }
        }
        return 0;
      },
      [] {});
  if (status != 0) ++errors;
  auto count = [](std::size_t n, const char* what) {
    return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
  };
  s.out << "locseq check " << o.job << ": " << count(errors, "error") << ", "
        << count(warnings.count() + settings_warnings, "warning") << '\n';
  return errors == 0 ? 0 : 1;
}

}  // namespace locseq::cli
