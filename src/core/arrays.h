// The shared vocabulary of the analysis: 1-based vector and matrix views
// over the carved arrays, with bounds checks in checked builds, and the
// 8-character names.
#pragma once

#include <array>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <type_traits>

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

}  // namespace locseq
