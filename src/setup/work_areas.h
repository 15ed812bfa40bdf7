// The run parameters, the four work areas and the arrays carved from them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <span>
#include <type_traits>
#include <vector>

namespace locseq {

// Bounds checks on every array access, in checked builds (the sanitizer and
// debug builds): the carved arrays lie side by side in one work area, so an
// index past the end of one would silently land in the next.
#ifdef LOCSEQ_CHECKED
[[noreturn]] inline void index_fault(long i, long j, long rows, long cols) {
  std::fprintf(stderr, "locseq: internal fault: index (%ld,%ld) outside %ld x %ld\n", i, j, rows,
               cols);
  std::abort();
}
#define LOCSEQ_CHECK_INDEX(ok, i, j, rows, cols) \
  ((ok) ? void(0) : ::locseq::index_fault((i), (j), (rows), (cols)))
#else
#define LOCSEQ_CHECK_INDEX(ok, i, j, rows, cols) void(0)
#endif

// A vector of n elements, indexed from 1.
template <class T>
class Vec {
 public:
  Vec() = default;
  Vec(T* data, long n) : data_(data), n_(n) {}
  explicit Vec(std::span<T> s) : data_(s.data()), n_(static_cast<long>(s.size())) {}

  T& operator()(long i) const {
    LOCSEQ_CHECK_INDEX(i >= 1 && i <= n_, i, 1L, n_, 1L);
    return data_[i - 1];
  }
  long size() const { return n_; }
  T* data() const { return data_; }
  std::span<T> span() const { return {data_, static_cast<std::size_t>(n_)}; }
  operator Vec<const T>() const requires(!std::is_const_v<T>) { return {data_, n_}; }

 private:
  T* data_ = nullptr;
  long n_ = 0;
};

// A matrix of rows x cols elements stored column by column (the first index
// varies fastest), indexed from 1.
template <class T>
class Mat {
 public:
  Mat() = default;
  Mat(T* data, long rows, long cols) : data_(data), rows_(rows), cols_(cols) {}

  T& operator()(long i, long j) const {
    LOCSEQ_CHECK_INDEX(i >= 1 && i <= rows_ && j >= 1 && j <= cols_, i, j, rows_, cols_);
    return data_[(j - 1) * rows_ + (i - 1)];
  }
  long rows() const { return rows_; }
  long cols() const { return cols_; }
  T* data() const { return data_; }
  std::span<T> span() const { return {data_, static_cast<std::size_t>(rows_ * cols_)}; }
  operator Mat<const T>() const requires(!std::is_const_v<T>) { return {data_, rows_, cols_}; }

 private:
  T* data_ = nullptr;
  long rows_ = 0;
  long cols_ = 0;
};

// An 8-character, blank-padded name.
using Name8 = std::array<char, 8>;

// The run parameters. NYA and NTM serve the parameter summary only and are
// held in 64 bits, so that extreme heads are reported, not wrapped.
struct RunParameters {
  std::int32_t MAXY = 0;  // maximum number of years in the data set
  std::int32_t MAXL = 0;  // maximum number of locations
  std::int32_t MAXG = 0;  // maximum number of genotypes
  std::int32_t IYS = 0;   // year at which the sequential analyses start
  std::int32_t IYF = 0;   // year at which they finish (only echoed)
  std::int64_t NYA = 0;   // IYF - IYS + 1
  std::int64_t NTM = 0;   // MAXL (MAXL + 1) / 2
  std::int32_t NGP = 0;   // truncation level: the number of groups
};

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
