#include "setup/program.h"

#include <istream>
#include <memory>
#include <ostream>

#include "records/input_error.h"
#include "setup/dialogue.h"
#include "setup/file_set.h"
#include "setup/run_setup.h"

namespace locseq {

int run_program(std::istream& console_in, std::ostream& console_out, std::ostream& err) {
  records::RecordReader answers(console_in, "standard input", records::RecordReader::Mode::Line);
  records::Unit console(console_out, "standard output", /*flush_each=*/true);
  std::unique_ptr<FileSet> files;
  try {
    FileNames names = ask_file_names(answers, console);
    files = std::make_unique<FileSet>(names);
    records::RecordReader cls(files->cls, names[0]);
    records::RecordReader naq(files->naq, names[1]);
    records::RecordReader seq(files->seq, names[2]);
    records::Unit sco(files->sco, names[3]);
    records::Unit cos(files->cos, names[4]);
    records::Unit alc(files->alc, names[5]);
    Units units{answers, console, cls, naq, seq, sco, cos, alc};
    auto areas = std::make_unique<WorkAreas>();
    RunSetUp(*areas, units);
    console.flush();
    sco.flush();
    cos.flush();
    alc.flush();
    return 0;
  } catch (const InputError& e) {
    console_out.flush();
    if (files) {
      // Keep every record written before the fault.
      files->sco.close();
      files->cos.close();
      files->alc.close();
    }
    err << "locseq: " << e.what() << '\n';
    err.flush();
    return 1;
  }
}

}  // namespace locseq
