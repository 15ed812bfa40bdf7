#include "cli/job_run.h"

#include <exception>
#include <memory>
#include <new>

#include "cli/job_files.h"
#include "core/input_error.h"
#include "records/record_reader.h"
#include "records/record_writer.h"

namespace locseq::cli {

namespace {

// Hands the results to every writer.
class AllWriters final : public ResultObserver {
 public:
  explicit AllWriters(const std::vector<RunWriter*>& writers) : writers_(writers) {}
  void head(const RunHead& h) override {
    for (RunWriter* w : writers_) w->head(h);
  }
  void block(const BlockResult& b) override {
    for (RunWriter* w : writers_) w->block(b);
  }

 private:
  const std::vector<RunWriter*>& writers_;
};

}  // namespace

SetUpResult run_job(const JobRun& job, Questions& questions, records::Unit& console,
                    Diagnostics& diagnostics) {
  std::vector<std::string> further;
  for (const RunWriter* w : job.writers) {
    for (const std::string& name : w->outputs()) further.push_back(name);
  }
  JobFiles files(job.names, further);
  job.outputs_prepared = true;
  std::size_t next = 0;
  for (RunWriter* w : job.writers) {
    const std::size_t n = w->outputs().size();
    w->attach({files.further.begin() + static_cast<std::ptrdiff_t>(next),
               files.further.begin() + static_cast<std::ptrdiff_t>(next + n)});
    next += n;
  }

  const FileNames& n = job.names;
  // .SEQ is read over and over; .CLS and .NAQ once, through smaller buffers.
  constexpr std::size_t kSmall = std::size_t{1} << 16;
  records::FileReader cls(files.cls, n[0], kSmall), naq(files.naq, n[1], kSmall),
      seq(files.seq, n[2]);
  for (records::FileReader* r : {&cls, &naq, &seq}) r->watch(&diagnostics);
  records::Unit sco(*files.sco, n[3]), cos(*files.cos, n[4]), alc(*files.alc, n[5]);
  Units units{console, cls, naq, seq, sco, cos, alc};
  AllWriters writers(job.writers);
  SetUpResult result = RunSetUp(units, questions, job.settings, writers);
  for (RunWriter* w : job.writers) w->finish(files.outputs);
  console.flush();
  files.outputs.commit();
  return result;
}

int report_failures(std::ostream& console, std::ostream& err, const JobRun& job,
                    const std::function<int()>& body, const std::function<void()>& summary) {
  std::string message;
  try {
    return body();
  } catch (const InputError& e) {
    message = e.what();
  } catch (const std::bad_alloc&) {
    message = "not enough memory for this job";
  } catch (const std::exception& e) {
    message = std::string("internal error: ") + e.what();
  }
  console.flush();
  summary();
  err << "locseq: " << printable(message) << '\n';
  if (job.outputs_prepared)
    err << "locseq: no report was written; earlier reports were left unchanged\n";
  err.flush();
  return 1;
}

}  // namespace locseq::cli
