// The run parameters, the four work areas and the arrays carved from them.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/arrays.h"
#include "core/run_parameters.h"

namespace locseq {

// A fixed-capacity work area. Its elements are left as the system hands
// them out until the set-up clears the part a job needs, so a small job
// touches little memory.
template <class T>
class Area {
 public:
  explicit Area(long capacity)
      : data_(std::make_unique_for_overwrite<T[]>(static_cast<std::size_t>(capacity))),
        size_(capacity) {}
  T* data() const { return data_.get(); }
  long size() const { return size_; }

 private:
  std::unique_ptr<T[]> data_;
  long size_;
};

// The four fixed-capacity work areas, which exist for the whole run.
struct WorkAreas {
  static constexpr long kDZ = 10000;   // 64-bit reals
  static constexpr long kZ = 300000;   // 32-bit reals
  static constexpr long kMZ = 350000;  // 32-bit integers
  static constexpr long kAZ = 2000;    // 8-character texts

  Area<double> DZ{kDZ};
  Area<float> Z{kZ};
  Area<std::int32_t> MZ{kMZ};
  Area<Name8> AZ{kAZ};
  // The enlarged group membership after the allocation, NGP x MAXL: held
  // apart from MZ, where its carved place (NGP x (MAXL-NGP)) cannot hold a
  // group of more than MAXL-NGP members. Sized once, before the sequence.
  std::vector<std::int32_t> enlarged_membership;
};

// The arrays carved from the work areas, under the names the analysis uses
// (the carving name in the comment).
struct Arrays {
  Mat<double> SedSums;                    // DZ1: (MAXL-NGP) x NGP, eliminated location x group
  Mat<double> TSSj;                       // DZ2: MAXY x 2, year x fit variant
  Mat<double> ESSj;                       // DZ3
  Mat<double> RSSj;                       // DZ4
  Mat<double> RSQj;                       // DZ5
  Mat<float> YearData;                    // Z1: MAXL x MAXG
  Mat<float> GroupMeans;                  // Z2: NGP x MAXG
  Vec<std::int32_t> GroupLabels;          // MZ1: MAXL
  Vec<std::int32_t> MZ2;                  // MZ2: 2 MAXL - 1, carved but unused
  Vec<std::int32_t> GroupSizes;           // MZ3: MAXL
  Vec<std::int32_t> GroupMemberList;      // MZ4: MAXL
  Vec<std::int32_t> MemberLocations;      // MZ5: MAXL
  Mat<std::int32_t> FusionPairs;          // MZ6: 2 x (MAXL-1)
  Vec<std::int32_t> EliminationVector;    // MZ7: MAXL
  Mat<std::int32_t> IncidenceMatrix;      // MZ8: MAXL x MAXG
  Mat<std::int32_t> GroupCounts;          // MZ9: NGP x MAXG
  Mat<std::int32_t> SedCounts;            // MZ10: (MAXL-NGP) x NGP
  Vec<std::int32_t> EliminatedLocations;  // MZ11: MAXL
  Vec<std::int32_t> AllocatedGroupSizes;  // MZ12: MAXL
  Mat<std::int32_t> MZ13;                 // MZ13: NGP x (MAXL-NGP), carved; superseded by the next
  Mat<std::int32_t> AllocatedGroupMembers;  // NGP x MAXL, in WorkAreas::enlarged_membership
  Mat<std::int32_t> LocMod;                 // MZ14: MAXY x 2
  Vec<Name8> YearNames;                     // AZ1: MAXY
  Vec<Name8> LocationNames;                 // AZ2: MAXL
  Vec<Name8> AZ3;                           // AZ3: 2 MAXL - 1, carved but unused
  Vec<Name8> GenotypeNames;                 // AZ4: MAXG
};

}  // namespace locseq
