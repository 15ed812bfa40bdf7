// Writes the capacity job into a folder: CAP.CLS, CAP.NAQ, CAP.SEQ and the
// console answers. The same bytes on every run.
//
//   make_capacity_job OUTDIR

#include <cstdio>
#include <filesystem>
#include <string>

#include "capacity_job.h"

namespace {

bool write_file(const std::filesystem::path& path, const std::string& text) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  return std::fclose(f) == 0 && ok;
}

int fail(const std::filesystem::path& path) {
  std::fprintf(stderr, "make_capacity_job: cannot write %s\n", path.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_capacity_job OUTDIR\n");
    return 2;
  }
  const std::filesystem::path dir(argv[1]);
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  // The answers go last: their presence says the job is complete.
  std::filesystem::remove(dir / "answers", ec);

  const locseq::bench::CapacityJob job;
  if (!write_file(dir / "CAP.CLS", job.cls())) return fail(dir / "CAP.CLS");
  if (!write_file(dir / "CAP.NAQ", job.naq())) return fail(dir / "CAP.NAQ");

  const std::filesystem::path seq_path = dir / "CAP.SEQ";
  std::FILE* seq = std::fopen(seq_path.c_str(), "wb");
  if (seq == nullptr) return fail(seq_path);
  std::string year;
  long long bytes = 0;
  bool ok = true;
  for (std::int32_t y = 1; y <= job.shape().MAXY && ok; ++y) {
    year.clear();
    job.append_seq_year(y, year);
    ok = std::fwrite(year.data(), 1, year.size(), seq) == year.size();
    bytes += static_cast<long long>(year.size());
  }
  if (std::fclose(seq) != 0 || !ok) return fail(seq_path);

  if (!write_file(dir / "answers", locseq::bench::CapacityJob::answers())) {
    return fail(dir / "answers");
  }
  std::printf("make_capacity_job: wrote %s (CAP.SEQ %lld bytes)\n", dir.c_str(), bytes);
  return 0;
}
