#include "data/year_cache.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace locseq {

const YearCache::Reading* YearCache::restore(std::int32_t y, const Year& year) const {
  if (y < 1 || static_cast<std::size_t>(y) > years_.size()) return nullptr;
  const std::optional<Entry>& e = years_[static_cast<std::size_t>(y - 1)];
  if (!e) return nullptr;
  std::memcpy(year.YearData.data(), e->values.data(), e->values.size() * sizeof(float));
  // Eight cells of the incidence matrix from each byte of bits.
  static const auto kBits = [] {
    std::array<std::array<std::int32_t, 8>, 256> table{};
    for (std::size_t b = 0; b < 256; ++b) {
      for (std::size_t i = 0; i < 8; ++i) table[b][i] = static_cast<std::int32_t>((b >> i) & 1U);
    }
    return table;
  }();
  std::int32_t* incidence = year.IncidenceMatrix.data();
  const std::size_t cells = e->values.size();
  std::size_t c = 0;
  for (; c + 64 <= cells; c += 64) {
    const std::uint64_t word = e->present[c / 64];
    for (std::size_t b = 0; b < 8; ++b) {
      std::memcpy(incidence + c + 8 * b, kBits[(word >> (8 * b)) & 0xFF].data(),
                  8 * sizeof(std::int32_t));
    }
  }
  for (; c < cells; ++c) {
    incidence[c] = static_cast<std::int32_t>((e->present[c / 64] >> (c % 64)) & 1U);
  }
  return &e->reading;
}

void YearCache::keep(std::int32_t y, const Year& year, const Reading& reading) {
  const auto cells = static_cast<std::size_t>(year.YearData.rows() * year.YearData.cols());
  const std::size_t words = (cells + 63) / 64;
  if (y < 1 || !reserve(static_cast<std::int64_t>(cells * sizeof(float) + words * 8))) return;
  if (years_.size() < static_cast<std::size_t>(y)) years_.resize(static_cast<std::size_t>(y));
  Entry& e = years_[static_cast<std::size_t>(y - 1)].emplace();
  e.values.assign(year.YearData.data(), year.YearData.data() + cells);
  e.present.assign(words, 0);
  const std::int32_t* incidence = year.IncidenceMatrix.data();
  for (std::size_t c = 0; c < cells; ++c) {
    if (incidence[c] > 0) e.present[c / 64] |= std::uint64_t{1} << (c % 64);
  }
  e.reading = reading;
}

bool YearCache::reserve(std::int64_t bytes) {
  if (used_ + bytes > budget_) return false;
  used_ += bytes;
  return true;
}

}  // namespace locseq
