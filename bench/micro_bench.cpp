// Micro benchmarks of the year reader and of the per-year stages, on years of
// the capacity job (300 locations x 900 genotypes, 18 groups, 15 eliminated
// locations).
//
//   micro_bench [--seq=CAP.SEQ] [benchmark flags]
//
// Without --seq the .SEQ text is generated in memory (the same bytes that
// make_capacity_job writes); with it, that file is read into memory for the
// in-memory benchmarks and also read from disk by the file benchmarks.

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

#include "capacity_job.h"
#include "data/centring.h"
#include "data/year_reader.h"
#include "fit/allocation.h"
#include "fit/model_fit.h"
#include "groups/group_means.h"
#include "groups/sed.h"
#include "records/record_reader.h"
#include "sequence/hierarchy.h"
#include "setup/carving.h"
#include "setup/run_setup.h"
#include "setup/work_areas.h"

namespace {

using locseq::records::FileReader;

// The stages return the cell of a value that is not finite; the capacity
// job has none, so one is a fault of the benchmark.
void ok(const std::optional<locseq::NonFinite>& bad) {
  if (!bad) return;
  std::fprintf(stderr, "micro_bench: %s\n", bad->what.c_str());
  std::abort();
}
void ok(bool finite) {
  if (!finite) std::abort();
}

// Reads a string in place, with the seek that a rewind needs.
class MemoryBuf : public std::streambuf {
 public:
  explicit MemoryBuf(const std::string& s) {
    char* p = const_cast<char*>(s.data());
    setg(p, p, p + s.size());
  }

 protected:
  pos_type seekoff(off_type off, std::ios_base::seekdir dir,
                   std::ios_base::openmode which) override {
    if (!(which & std::ios_base::in)) return pos_type(off_type(-1));
    const off_type size = egptr() - eback();
    const off_type base = dir == std::ios_base::beg   ? 0
                          : dir == std::ios_base::cur ? gptr() - eback()
                                                      : size;
    const off_type to = base + off;
    if (to < 0 || to > size) return pos_type(off_type(-1));
    setg(eback(), eback() + to, egptr());
    return pos_type(to);
  }
  pos_type seekpos(pos_type pos, std::ios_base::openmode which) override {
    return seekoff(off_type(pos), std::ios_base::beg, which);
  }
};

std::string seq_path;  // --seq

// The whole .SEQ text and where each pass that starts at year 1 stops.
struct SeqText {
  std::string text;
  std::int32_t years = 0;
  // stop[y]: bytes read by a pass over years 1..y, up to and including the
  // first record of year y+1 (read and stepped back), or the whole file.
  std::vector<std::size_t> stop;
  std::vector<std::int64_t> records;  // records[y]: records of year y
  std::int64_t total_records = 0;
};

void scan(SeqText& s) {
  s.stop.assign(static_cast<std::size_t>(s.years) + 1, s.text.size());
  s.records.assign(static_cast<std::size_t>(s.years) + 1, 0);
  std::int32_t current = 0;
  std::size_t pos = 0;
  while (pos < s.text.size()) {
    std::size_t nl = s.text.find('\n', pos);
    const std::size_t end = nl == std::string::npos ? s.text.size() : nl + 1;
    std::int32_t y = 0;
    std::size_t p = pos;
    while (p < end && s.text[p] == ' ') ++p;
    while (p < end && s.text[p] >= '0' && s.text[p] <= '9') y = y * 10 + (s.text[p++] - '0');
    if (y >= 1 && y <= s.years) {
      ++s.records[static_cast<std::size_t>(y)];
      ++s.total_records;
      if (y != current) {
        // The first record of year y ends every pass over the years before it.
        for (std::int32_t last = current; last < y; ++last) {
          if (last >= 1) s.stop[static_cast<std::size_t>(last)] = end;
        }
        current = y;
      }
    }
    pos = end;
  }
}

const SeqText& seq_text() {
  static const SeqText s = [] {
    SeqText t;
    const locseq::bench::CapacityJob job;
    t.years = job.shape().MAXY;
    if (!seq_path.empty()) {
      std::ifstream in(seq_path, std::ios::binary);
      t.text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
      if (t.text.empty()) {
        std::fprintf(stderr, "micro_bench: cannot read %s\n", seq_path.c_str());
        std::exit(1);
      }
    } else {
      for (std::int32_t y = 1; y <= t.years; ++y) job.append_seq_year(y, t.text);
    }
    scan(t);
    return t;
  }();
  return s;
}

// The run parameters and carved arrays of the capacity job, with year 1
// read, block 15's groups cut and its 15 eliminated locations allocated.
struct Stages {
  locseq::RunParameters p;
  std::unique_ptr<locseq::WorkAreas> areas = std::make_unique<locseq::WorkAreas>();
  locseq::Carved a;
  std::vector<float> raw_year, centred_year, group_means;
  std::vector<std::int32_t> group_counts;

  Stages() {
    const locseq::bench::CapacityJob job;
    const locseq::bench::CapacityShape& s = job.shape();
    p.MAXY = s.MAXY;
    p.MAXL = s.MAXL;
    p.MAXG = s.MAXG;
    p.IYS = s.IYS;
    p.IYF = s.IYF;
    p.NYA = s.IYF - s.IYS + 1;
    p.NTM = std::int64_t{s.MAXL} * (s.MAXL + 1) / 2;
    p.NGP = locseq::square_root_rule(s.MAXL);
    // Cleared as the set-up clears them, then carved.
    const std::array<std::int64_t, 4> required = locseq::required_sizes(p);
    std::fill_n(areas->DZ.data(), required[0], 0.0);
    std::fill_n(areas->Z.data(), required[1], 0.0f);
    std::fill_n(areas->MZ.data(), required[2], 0);
    a = locseq::carve(*areas, p);

    MemoryBuf buf(seq_text().text);
    std::istream in(&buf);
    FileReader seq(in, "CAP.SEQ");
    locseq::ReadYear(a.year, 1, seq);
    raw_year.assign(a.year.YearData.data(), a.year.YearData.data() + cells());

    const locseq::bench::CapacityBlock b = job.block(15, 15);
    locseq::Grouping& g = a.grouping;
    for (std::size_t i = 0; i < b.elimination.size(); ++i) {
      g.EliminationVector(static_cast<long>(i) + 1) = b.elimination[i];
    }
    for (std::size_t r = 0; r < b.fusions.size(); ++r) {
      g.FusionPairs(1, static_cast<long>(r) + 1) = b.fusions[r].gi;
      g.FusionPairs(2, static_cast<long>(r) + 1) = b.fusions[r].gj;
    }
    g.RetainedCount = b.retained;
    g.CutLevel = p.NGP;
    locseq::CutHierarchy(g);

    ok(locseq::CentreYear(a.year));
    centred_year.assign(a.year.YearData.data(), a.year.YearData.data() + cells());
    means();
    const locseq::Centroids& c = a.centroids;
    group_means.assign(c.GroupMeans.data(), c.GroupMeans.data() + p.NGP * p.MAXG);
    group_counts.assign(c.GroupCounts.data(), c.GroupCounts.data() + p.NGP * p.MAXG);
    distances();
    locseq::EnlargeGroups(g, locseq::AllocateEliminatedLocations(a.distances, g), a.enlarged);
  }

  void means() { ok(locseq::FormGroupMeans(a.year, a.grouping, a.centroids)); }
  void distances() { ok(locseq::AddYearDistances(a.year, a.grouping, a.centroids, a.distances)); }
  void fit() { ok(locseq::FitYear(a.year, a.grouping, a.enlarged, a.centroids, a.fit, 1)); }
  void restore(const std::vector<float>& year) {
    std::memcpy(a.year.YearData.data(), year.data(), year.size() * sizeof(float));
  }
  void restore_means() {
    std::memcpy(a.centroids.GroupMeans.data(), group_means.data(),
                group_means.size() * sizeof(float));
    std::memcpy(a.centroids.GroupCounts.data(), group_counts.data(),
                group_counts.size() * sizeof(std::int32_t));
  }
  std::int64_t cells() const { return std::int64_t{p.MAXL} * p.MAXG; }
};

Stages& stages() {
  static Stages s;
  return s;
}

// ---- The year reader ----

// Year 1 after a rewind: the records of year 1 and the first of year 2.
void read_first_year(benchmark::State& state, std::istream& in) {
  const SeqText& t = seq_text();
  Stages& s = stages();
  FileReader seq(in, "CAP.SEQ");
  for (auto _ : state) {
    seq.rewind();
    locseq::ReadYear(s.a.year, 1, seq);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(t.stop[1]));
  state.SetItemsProcessed(state.iterations() * t.records[1]);
}

// A pass over all the years: rewind, then years 1 to MAXY in turn.
void read_all_years(benchmark::State& state, std::istream& in) {
  const SeqText& t = seq_text();
  Stages& s = stages();
  FileReader seq(in, "CAP.SEQ");
  for (auto _ : state) {
    seq.rewind();
    for (std::int32_t y = 1; y <= t.years; ++y) locseq::ReadYear(s.a.year, y, seq);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(t.text.size()));
  state.SetItemsProcessed(state.iterations() * t.total_records);
}

void BM_ReadYear_Memory(benchmark::State& state) {
  MemoryBuf buf(seq_text().text);
  std::istream in(&buf);
  read_first_year(state, in);
}
BENCHMARK(BM_ReadYear_Memory)->Unit(benchmark::kMillisecond);

void BM_ReadAllYears_Memory(benchmark::State& state) {
  MemoryBuf buf(seq_text().text);
  std::istream in(&buf);
  read_all_years(state, in);
}
BENCHMARK(BM_ReadAllYears_Memory)->Unit(benchmark::kMillisecond);

void BM_ReadYear_File(benchmark::State& state) {
  std::ifstream in(seq_path, std::ios::binary);
  read_first_year(state, in);
}

void BM_ReadAllYears_File(benchmark::State& state) {
  std::ifstream in(seq_path, std::ios::binary);
  read_all_years(state, in);
}

// ---- The per-year stages, each on year 1 ----

void BM_CentreYear(benchmark::State& state) {
  Stages& s = stages();
  for (auto _ : state) {
    state.PauseTiming();
    s.restore(s.raw_year);
    state.ResumeTiming();
    ok(locseq::CentreYear(s.a.year));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * s.cells());
}
BENCHMARK(BM_CentreYear)->Unit(benchmark::kMillisecond);

void BM_StandardiseYear(benchmark::State& state) {
  Stages& s = stages();
  for (auto _ : state) {
    state.PauseTiming();
    s.restore(s.centred_year);
    state.ResumeTiming();
    locseq::StandardiseYear(s.a.year);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * s.cells());
}
BENCHMARK(BM_StandardiseYear)->Unit(benchmark::kMillisecond);

void BM_FormGroupMeans(benchmark::State& state) {
  Stages& s = stages();
  s.restore(s.centred_year);
  for (auto _ : state) {
    s.means();
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * s.cells());
}
BENCHMARK(BM_FormGroupMeans)->Unit(benchmark::kMillisecond);

void BM_AddYearDistances(benchmark::State& state) {
  Stages& s = stages();
  s.restore(s.centred_year);
  s.restore_means();
  for (auto _ : state) {
    s.distances();
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * s.cells());
}
BENCHMARK(BM_AddYearDistances)->Unit(benchmark::kMillisecond);

// FitYear overwrites the group means with those of the enlarged groups; they
// are put back, untimed, before every call.
void BM_FitYear(benchmark::State& state) {
  Stages& s = stages();
  s.restore(s.centred_year);
  for (auto _ : state) {
    state.PauseTiming();
    s.restore_means();
    state.ResumeTiming();
    s.fit();
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * s.cells());
}
BENCHMARK(BM_FitYear)->Unit(benchmark::kMillisecond);

// ---- One year of each pass, as the driver runs it (from memory) ----

// Rewind, read year 1, centre, group means, then the pass's own last stage.
template <class LastStage>
void pass_year(benchmark::State& state, LastStage last_stage) {
  Stages& s = stages();
  MemoryBuf buf(seq_text().text);
  std::istream in(&buf);
  FileReader seq(in, "CAP.SEQ");
  for (auto _ : state) {
    seq.rewind();
    locseq::ReadYear(s.a.year, 1, seq);
    ok(locseq::CentreYear(s.a.year));
    s.means();
    last_stage(s);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * seq_text().records[1]);
}

void BM_SedPassYear(benchmark::State& state) {
  pass_year(state, [](Stages& s) { s.distances(); });
}
BENCHMARK(BM_SedPassYear)->Unit(benchmark::kMillisecond);

void BM_ModfitPassYear(benchmark::State& state) {
  pass_year(state, [](Stages& s) { s.fit(); });
}
BENCHMARK(BM_ModfitPassYear)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  // Takes --seq=PATH out of the arguments before the library sees them.
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--seq=", 6) == 0) {
      seq_path = argv[i] + 6;
    } else {
      argv[kept++] = argv[i];
    }
  }
  argc = kept;
  if (!seq_path.empty()) {
    benchmark::RegisterBenchmark("BM_ReadYear_File", BM_ReadYear_File)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_ReadAllYears_File", BM_ReadAllYears_File)
        ->Unit(benchmark::kMillisecond);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  const SeqText& t = seq_text();
  benchmark::AddCustomContext("seq_bytes", std::to_string(t.text.size()));
  benchmark::AddCustomContext("seq_records", std::to_string(t.total_records));
  benchmark::AddCustomContext("year1_bytes_read", std::to_string(t.stop[1]));
  benchmark::AddCustomContext("year1_records", std::to_string(t.records[1]));
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
