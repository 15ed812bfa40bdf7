// The four work areas, which exist for the whole run.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/arrays.h"

namespace locseq {

// A work area of fixed capacity. Its elements are left as the system hands
// them out until the set-up clears the part a job needs, so a small job
// touches little memory.
template <class T>
class Area {
 public:
  explicit Area(std::int64_t capacity)
      : data_(std::make_unique_for_overwrite<T[]>(static_cast<std::size_t>(capacity))),
        size_(capacity) {}
  T* data() const { return data_.get(); }
  std::int64_t size() const { return size_; }

 private:
  std::unique_ptr<T[]> data_;
  std::int64_t size_;
};

// The capacities of DZ, Z, MZ and AZ, in elements.
using Capacities = std::array<std::int64_t, 4>;

// The fixed capacities: 64-bit reals, 32-bit reals, 32-bit integers,
// 8-character texts.
inline constexpr Capacities kFixedCapacities = {10000, 300000, 350000, 2000};

struct WorkAreas {
  explicit WorkAreas(const Capacities& c = kFixedCapacities)
      : capacities(c), DZ(c[0]), Z(c[1]), MZ(c[2]), AZ(c[3]) {}

  Capacities capacities;
  Area<double> DZ;
  Area<float> Z;
  Area<std::int32_t> MZ;
  Area<Name8> AZ;
  // The enlarged group membership after the allocation, NGP x MAXL: held
  // apart from MZ, where its carved place (NGP x (MAXL-NGP)) cannot hold a
  // group of more than MAXL-NGP members. Sized once, before the sequence.
  std::vector<std::int32_t> enlarged_membership;
};

}  // namespace locseq
