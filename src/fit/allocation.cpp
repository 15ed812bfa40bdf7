#include "fit/allocation.h"

#include <string>
#include <vector>

namespace locseq {

namespace {

using records::Layout;
using records::Value;

constexpr Layout kLine("(A)");
constexpr Layout kEliminatedCount("(20I4)");
constexpr Layout kEliminatedLine("('   Number of eliminated locations is ',I7)");
constexpr Layout kLabelRow("(T8,10I10)");
constexpr Layout kCountRow("(I7,(T8,10I10))");
constexpr Layout kMeanRow("(I7,(T8,10G10.2))");
constexpr Layout kGroup("(' Group',T10,I4)");
constexpr Layout kOldMembers("(3X,'Number of old members',I6,/,5X,'They are',(T15,10A8))");
constexpr Layout kNewMembers("(3X,'Number of new members',I6,/,5X,'They are',(T15,10A8))");
constexpr Layout kAllocation("(3I4,(T13,20I4))");

std::string_view name_of(Vec<const Name8> names, std::int32_t u) {
  return {names(u).data(), names(u).size()};
}

}  // namespace

void AllocateEliminatedLocations(
    Mat<double> SedSums, Mat<const std::int32_t> SedCounts, Vec<const std::int32_t> GroupLabels,
    Vec<const std::int32_t> GroupSizes, Vec<std::int32_t> AllocatedGroupSizes,
    Vec<const std::int32_t> MemberLocations, Mat<std::int32_t> AllocatedGroupMembers,
    Vec<const std::int32_t> EliminationVector, Vec<const std::int32_t> EliminatedLocations,
    Vec<const Name8> LocationNames, std::int32_t MAXL, std::int32_t NGP, records::Unit& sco,
    records::Unit& cos, records::Unit& alc) {
  // 1-3: the enlarged membership starts as the old one.
  for (long c = 1; c <= AllocatedGroupMembers.cols(); ++c) {
    for (std::int32_t k = 1; k <= NGP; ++k) AllocatedGroupMembers(k, c) = 0;
  }
  std::int32_t E = 0;  // number of eliminated locations
  for (std::int32_t u = 1; u <= MAXL; ++u) {
    if (EliminationVector(u) == 0) ++E;
    AllocatedGroupSizes(u) = 0;
  }
  std::int32_t p = 0;
  for (std::int32_t k = 1; k <= NGP; ++k) {
    AllocatedGroupSizes(k) = GroupSizes(k);
    for (std::int32_t i = 1; i <= GroupSizes(k); ++i) {
      AllocatedGroupMembers(k, i) = MemberLocations(++p);
    }
  }

  // 4: mean distance per term.
  for (std::int32_t e = 1; e <= E; ++e) {
    for (std::int32_t k = 1; k <= NGP; ++k) {
      if (SedCounts(e, k) > 0) SedSums(e, k) = SedSums(e, k) / SedCounts(e, k);
    }
  }

  // 5: the tables.
  cos.write(kEliminatedCount, {E});
  sco.write(kEliminatedLine, {E});
  std::vector<Value> row;
  row.reserve(static_cast<std::size_t>(NGP) + 1);
  // A table: its title, the heading, the label row, then one row per
  // eliminated location (to .COS and .SCO), value(e, k) in its columns.
  auto table = [&](const char* title, const Layout& layout, auto value) {
    sco.write(kLine, {title});
    sco.write(kLine, {" ElmLoc  Location group"});
    row.clear();
    for (std::int32_t k = 1; k <= NGP; ++k) row.emplace_back(GroupLabels(k));
    sco.write(kLabelRow, row);
    for (std::int32_t e = 1; e <= E; ++e) {
      row.clear();
      row.emplace_back(EliminatedLocations(e));
      for (std::int32_t k = 1; k <= NGP; ++k) row.emplace_back(value(e, k));
      std::string records = records::format(layout, row);
      cos.put(records);
      sco.put(records);
    }
  };
  if (E != 0) {
    table(" Number of squared distances", kCountRow,
          [&](std::int32_t e, std::int32_t k) { return Value(SedCounts(e, k)); });
    table(" squared Euclidean distances", kMeanRow,
          [&](std::int32_t e, std::int32_t k) { return Value(SedSums(e, k)); });
  }

  // 6: allocate to the nearest group.
  for (std::int32_t e = 1; e <= E; ++e) {
    float best = 1.0E30f;  // the running minimum, held in 32 bits
    std::int32_t g = 0;
    for (std::int32_t k = 1; k <= NGP; ++k) {
      if (SedCounts(e, k) > 0 && SedSums(e, k) < static_cast<double>(best)) {
        best = static_cast<float>(SedSums(e, k));
        g = k;
      }
    }
    if (g != 0) {
      AllocatedGroupSizes(g) += 1;
      AllocatedGroupMembers(g, AllocatedGroupSizes(g)) = EliminatedLocations(e);
    }
  }

  // 7: membership before and after.
  auto members = [&](const Layout& layout, std::int32_t k, std::int32_t first, std::int32_t last) {
    row.clear();
    row.emplace_back(last - first + 1);
    for (std::int32_t i = first; i <= last; ++i) {
      row.emplace_back(name_of(LocationNames, AllocatedGroupMembers(k, i)));
    }
    sco.write(layout, row);
  };
  for (std::int32_t k = 1; k <= NGP; ++k) {
    sco.write(kGroup, {GroupLabels(k)});
    members(kOldMembers, k, 1, GroupSizes(k));
    if (AllocatedGroupSizes(k) - GroupSizes(k) != 0) {
      members(kNewMembers, k, GroupSizes(k) + 1, AllocatedGroupSizes(k));
    }
  }

  // 8: allocation records.
  for (std::int32_t k = 1; k <= NGP; ++k) {
    row.clear();
    row.emplace_back(GroupLabels(k));
    row.emplace_back(GroupSizes(k));
    row.emplace_back(AllocatedGroupSizes(k));
    for (std::int32_t i = 1; i <= AllocatedGroupSizes(k); ++i) {
      row.emplace_back(AllocatedGroupMembers(k, i));
    }
    std::string records = records::format(kAllocation, row);
    alc.put(records);
    cos.put(records);
  }
}

}  // namespace locseq
