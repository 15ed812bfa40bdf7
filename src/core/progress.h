// How far long work has got, for whoever shows it. Like the cancel check
// (core/cancel.h), the work calls report_progress() at its progress points
// (the driver once per year of a pass, a classification once per step, a
// reading of .SEQ every few thousand records) and writes nothing itself;
// the program installs a meter, which draws a progress bar on a terminal.
// With no meter installed a progress point costs a load and a branch.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <istream>

namespace locseq {

// A progress point: `done` of `total` units of work (years read, steps,
// bytes), and the step under way when the work goes by steps.
struct Progress {
  std::int64_t done = 0;
  std::int64_t total = 0;  // at least `done`; 0 when unknown
  std::int32_t step = 0;   // the step under way, from 1; 0 when the work has no steps
  std::int32_t steps = 0;  // the steps of the work, as far as they are known
};

class ProgressMeter {
 public:
  virtual ~ProgressMeter() = default;
  // May throw Cancelled (a request to stop met while showing it).
  virtual void show(const Progress& p) = 0;
};

namespace detail {
inline std::atomic<ProgressMeter*> progress_meter{nullptr};
}

// Installs `meter` (none: progress is not shown).
inline void set_progress_meter(ProgressMeter* meter) {
  detail::progress_meter.store(meter);
}

inline void report_progress(const Progress& p) {
  if (ProgressMeter* meter = detail::progress_meter.load(std::memory_order_relaxed)) {
    meter->show(p);
  }
}

// The bytes of `in` from its start to its end, for the total of a progress
// through it, leaving it where it stood; 0 when it cannot seek.
inline std::int64_t stream_size(std::istream& in) {
  const std::istream::pos_type at = in.tellg();
  if (at == std::istream::pos_type(-1)) return 0;
  in.seekg(0, std::ios::end);
  const std::istream::pos_type end = in.tellg();
  in.clear();
  in.seekg(at);
  return end == std::istream::pos_type(-1) ? 0 : static_cast<std::int64_t>(end);
}

// Progress through a file read record by record, in bytes: a point every
// 4096 records.
class ReadingProgress {
 public:
  explicit ReadingProgress(std::int64_t size) : size_(size) {}
  // After a record; `offset` is where the reading stands.
  void record_read(std::int64_t offset) {
    if ((++records_ & 0xFFF) == 0) report_progress({offset, std::max(offset, size_)});
  }

 private:
  std::int64_t size_;
  std::uint32_t records_ = 0;
};

}  // namespace locseq
