#include "setup/program.h"

#include <exception>
#include <istream>
#include <memory>
#include <new>
#include <ostream>
#include <string>

#include "core/input_error.h"
#include "setup/dialogue.h"
#include "setup/file_set.h"
#include "setup/run_setup.h"

namespace locseq {

namespace {

// Ends a run that failed: the console and every report keep what was
// written before the fault, then the message goes to standard error.
int stop(std::ostream& console_out, FileSet* files, std::ostream& err, const std::string& what) {
  console_out.flush();
  if (files != nullptr) {
    files->sco.close();
    files->cos.close();
    files->alc.close();
  }
  err << "locseq: " << what << '\n';
  err.flush();
  return 1;
}

}  // namespace

int run_program(std::istream& console_in, std::ostream& console_out, std::ostream& err) {
  records::ConsoleReader answers(console_in, "standard input");
  records::Unit console(console_out, "standard output", /*flush_each=*/true);
  std::unique_ptr<FileSet> files;
  try {
    FileNames names = ask_file_names(answers, console);
    files = std::make_unique<FileSet>(names);
    records::FileReader cls(files->cls, names[0]);
    records::FileReader naq(files->naq, names[1]);
    records::FileReader seq(files->seq, names[2]);
    records::Unit sco(files->sco, names[3]);
    records::Unit cos(files->cos, names[4]);
    records::Unit alc(files->alc, names[5]);
    Units units{console, cls, naq, seq, sco, cos, alc};
    DialogueQuestions questions(answers, console);
    ResultObserver no_one;
    auto areas = std::make_unique<WorkAreas>();
    RunSetUp(*areas, units, questions, no_one);
    console.flush();
    sco.flush();
    cos.flush();
    alc.flush();
    return 0;
  } catch (const InputError& e) {
    return stop(console_out, files.get(), err, e.what());
  } catch (const std::bad_alloc&) {
    return stop(console_out, files.get(), err, "not enough memory for this job");
  } catch (const std::exception& e) {
    return stop(console_out, files.get(), err, std::string("internal error: ") + e.what());
  }
}

}  // namespace locseq
