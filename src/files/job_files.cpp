#include "files/job_files.h"

namespace locseq::files {

OutputPlan JobFiles::plan_of(const FileNames& names, const OutputPlan& more) {
  OutputPlan plan;
  for (std::size_t k = 0; k < 3; ++k) plan.input(kFileKinds[k], names[k]);
  for (const PlannedFile& in : more.inputs()) plan.input(in.kind, in.name);
  for (std::size_t k = 3; k < names.size(); ++k) plan.output(kFileKinds[k], names[k]);
  for (const PlannedOutput& out : more.outputs()) {
    plan.output(out.kind, out.name, out.existing, out.make_folder);
  }
  for (const PlannedPattern& p : more.patterns()) {
    plan.pattern(p.kind, p.folder, p.prefix, p.suffix);
  }
  plan.check();
  return plan;
}

JobFiles::JobFiles(const FileNames& names, const OutputPlan& more, std::ostream& notes)
    : outputs(plan_of(names, more), notes), further_count_(more.outputs().size()) {
  cls.emplace(open_input(names[0]));
  naq.emplace(open_input(names[1]));
  seq.emplace(open_input(names[2]));
}

void JobFiles::prepare() {
  outputs.prepare();
  sco = &outputs.stream(std::size_t{0});
  cos = &outputs.stream(std::size_t{1});
  alc = &outputs.stream(std::size_t{2});
  for (std::size_t k = 0; k < further_count_; ++k) further.push_back(&outputs.stream(3 + k));
}

}  // namespace locseq::files
