#include <istream>
#include <ostream>

#include "cli/commands.h"
#include "cli/job_run.h"
#include "cli/warnings.h"
#include "setup/dialogue.h"

namespace locseq::cli {

int dialogue_command(Streams s, std::int64_t cache_mb) {
  records::ConsoleReader answers(s.in, "standard input");
  records::Unit console(s.out, "standard output", /*flush_each=*/true);
  RunWarnings warnings(s.err);
  answers.watch(&warnings);
  JobRun job;
  job.settings.cache_bytes = cache_mb << 20;
  return report_failures(
      s.out, s.err, job,
      [&] {
        job.names = ask_file_names(answers, console);
        DialogueQuestions questions(answers, console);
        run_job(job, questions, console, warnings, s.err);
        warnings.summary();
        return 0;
      },
      [&] { warnings.summary(); });
}

}  // namespace locseq::cli
