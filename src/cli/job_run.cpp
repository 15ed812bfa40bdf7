#include "cli/job_run.h"

#include <exception>
#include <memory>
#include <new>

#include "core/cancel.h"
#include "core/input_error.h"
#include "files/job_files.h"
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
                    Diagnostics& diagnostics, std::ostream& notes) {
  files::OutputPlan further;
  for (const files::PlannedFile& in : job.inputs) further.input(in.kind, in.name);
  std::vector<std::size_t> planned;  // how many outputs each writer planned
  for (const RunWriter* w : job.writers) {
    const std::size_t before = further.outputs().size();
    w->plan(further);
    planned.push_back(further.outputs().size() - before);
  }
  files::JobFiles files(job.names, further, notes);
  for (RunWriter* w : job.writers) w->read();
  files.prepare();
  job.outputs = OutputStage::Prepared;
  std::size_t next = 0;
  for (std::size_t k = 0; k < job.writers.size(); ++k) {
    const auto from = files.further.begin() + static_cast<std::ptrdiff_t>(next);
    next += planned[k];
    job.writers[k]->attach({from, files.further.begin() + static_cast<std::ptrdiff_t>(next)});
  }

  const FileNames& n = job.names;
  // .SEQ is read over and over; .CLS and .NAQ once, through smaller buffers.
  constexpr std::size_t kSmall = std::size_t{1} << 16;
  records::FileReader cls(files.cls->stream(), n[0], kSmall),
      naq(files.naq->stream(), n[1], kSmall), seq(files.seq->stream(), n[2]);
  for (records::FileReader* r : {&cls, &naq, &seq}) r->watch(&diagnostics);
  records::Unit sco(*files.sco, n[3]), cos(*files.cos, n[4]), alc(*files.alc, n[5]);
  Units units{console, cls, naq, seq, sco, cos, alc};
  AllWriters writers(job.writers);
  SetUpResult result = RunSetUp(units, questions, job.settings, writers);
  for (RunWriter* w : job.writers) w->finish(files.outputs);
  console.flush();
  try {
    files.outputs.commit();
  } catch (...) {
    if (files.outputs.committed()) job.outputs = OutputStage::Committed;
    throw;
  }
  job.outputs = OutputStage::Committed;
  return result;
}

int report_failures(std::ostream& console, std::ostream& err, const JobRun& job,
                    const std::function<int()>& body, const std::function<void()>& summary) {
  std::string message;
  try {
    return body();
  } catch (const InputError& e) {
    message = e.what();
  } catch (const Cancelled& e) {
    message = e.what();
  } catch (const std::bad_alloc&) {
    message = "not enough memory for this job";
  } catch (const std::exception& e) {
    message = std::string("internal error: ") + e.what();
  }
  // A request to stop may show as another fault (a write cut short): it is
  // what the user is told.
  try {
    check_cancel();
  } catch (const Cancelled& e) {
    message = e.what();
  }
  try {
    console.flush();
  } catch (const Cancelled&) {  // what is left of the console is dropped
  }
  summary();
  err << "locseq: " << printable(message) << '\n';
  if (job.outputs == OutputStage::Prepared) {
    err << "locseq: no report was written; earlier reports were left unchanged\n";
  } else if (job.outputs == OutputStage::Committed) {
    err << "locseq: every output to a file was written in full\n";
  }
  err.flush();
  return 1;
}

}  // namespace locseq::cli
