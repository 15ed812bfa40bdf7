// Writes the page of a made-up run, for the browser check:
//   report_sample_page plain|hostile|bidi PAGE.html [PLOTS_DIR]
// `hostile` gives the job's texts markup, quotes and invalid UTF-8; the two
// pages have the same structure. `bidi` gives them bidi controls and
// right-to-left letters. With PLOTS_DIR, the figures go there too.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "report/page.h"
#include "report/sample_results.h"

namespace {

bool save(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
  out.close();
  if (!out) std::cerr << "report_sample_page: cannot write " << path << '\n';
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string kind = argc > 1 ? argv[1] : "";
  if ((argc != 3 && argc != 4) || (kind != "plain" && kind != "hostile" && kind != "bidi")) {
    std::cerr << "usage: report_sample_page plain|hostile|bidi PAGE.html [PLOTS_DIR]\n";
    return 2;
  }
  namespace sample = locseq::report::sample;
  const auto job = kind == "bidi" ? sample::make_bidi_job() : sample::make_job(kind == "hostile");
  if (!save(argv[2], locseq::report::write_page(job.head, job.blocks, job.page))) return 1;
  if (argc == 4) {
    for (const auto& [name, svg] : locseq::report::write_plots(job.head, job.blocks, job.page)) {
      if (!save(std::string(argv[3]) + "/" + name, svg)) return 1;
    }
  }
  return 0;
}
