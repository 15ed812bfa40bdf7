#include "fit/allocation_report.h"

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

// The rows of one table: each eliminated location and its value for every
// group.
template <class ValueOf>
std::string table_rows(const BlockResult& block, const Layout& layout, ValueOf value_of) {
  std::string out;
  std::vector<Value> row;
  for (const EliminatedLocation& loc : block.eliminated) {
    row.clear();
    row.emplace_back(loc.location);
    for (std::size_t k = 0; k < block.groups.size(); ++k) row.emplace_back(value_of(loc, k));
    records::format(out, layout, row);
  }
  return out;
}

std::string count_rows(const BlockResult& block) {
  return table_rows(block, kCountRow, [](const EliminatedLocation& loc, std::size_t k) {
    return Value(loc.cells[k]);
  });
}

std::string mean_rows(const BlockResult& block) {
  return table_rows(block, kMeanRow, [](const EliminatedLocation& loc, std::size_t k) {
    return Value(loc.mean_sed[k]);
  });
}

// The allocation records of every group: label, sizes before and after,
// every member's location number.
std::string allocation_records(const BlockResult& block) {
  std::string out;
  std::vector<Value> row;
  for (const Group& g : block.groups) {
    row.clear();
    row.emplace_back(g.label);
    row.emplace_back(g.members.size());
    row.emplace_back(g.members.size() + g.allocated.size());
    for (std::int32_t u : g.members) row.emplace_back(u);
    for (std::int32_t u : g.allocated) row.emplace_back(u);
    records::format(out, kAllocation, row);
  }
  return out;
}

}  // namespace

void write_allocation_sco(const BlockResult& block, std::span<const Name8> LocationNames,
                          records::Unit& sco) {
  sco.write(kEliminatedLine, {block.eliminated.size()});
  if (!block.eliminated.empty()) {
    std::vector<Value> labels;
    for (const Group& g : block.groups) labels.emplace_back(g.label);
    sco.write(kLine, {" Number of squared distances"});
    sco.write(kLine, {" ElmLoc  Location group"});
    sco.write(kLabelRow, labels);
    sco.put(count_rows(block));
    sco.write(kLine, {" squared Euclidean distances"});
    sco.write(kLine, {" ElmLoc  Location group"});
    sco.write(kLabelRow, labels);
    sco.put(mean_rows(block));
  }
  std::vector<Value> row;
  auto members = [&](const Layout& layout, const std::vector<std::int32_t>& locations) {
    row.clear();
    row.emplace_back(locations.size());
    for (std::int32_t u : locations) {
      const Name8& name = LocationNames[static_cast<std::size_t>(u - 1)];
      row.emplace_back(std::string_view(name.data(), name.size()));
    }
    sco.write(layout, row);
  };
  for (const Group& g : block.groups) {
    sco.write(kGroup, {g.label});
    members(kOldMembers, g.members);
    if (!g.allocated.empty()) members(kNewMembers, g.allocated);
  }
}

void write_allocation_cos(const BlockResult& block, records::Unit& cos) {
  cos.write(kEliminatedCount, {block.eliminated.size()});
  if (!block.eliminated.empty()) {
    cos.put(count_rows(block));
    cos.put(mean_rows(block));
  }
  cos.put(allocation_records(block));
}

void write_allocation_alc(const BlockResult& block, records::Unit& alc) {
  alc.put(allocation_records(block));
}

}  // namespace locseq
