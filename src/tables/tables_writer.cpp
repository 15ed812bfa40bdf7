#include "tables/tables_writer.h"

#include <string>
#include <string_view>
#include <variant>

#include "findings/step_columns.h"
#include "tables/csv.h"

namespace locseq::tables {

namespace {

constexpr std::array<const char*, 2> kVariants = {"classified", "with_allocated"};

std::optional<double> rsq(const FitSums& s) {
  return s.rsq_defined ? std::optional<double>(s.RSQ) : std::nullopt;
}

// The four sums of a fit, RSQ NA where it is undefined.
void sums(Row& row, const FitSums& s) {
  row << number(s.TSS) << number(s.ESS) << number(s.RSS) << number(rsq(s));
}

// A value of steps.csv.
void field(Row& row, std::int64_t v) {
  row << v;
}
void field(Row& row, std::optional<double> v) {
  row << number(v);
}
void field(Row& row, const Name8& v) {
  row << name_field(v);
}

const Name8& at(const std::vector<Name8>& names, std::int32_t number) {
  return names[static_cast<std::size_t>(number - 1)];
}

// A row of groups.csv: one member of one group.
struct MemberRow {
  const BlockResult& block;
  const findings::StepFindings& found;
  std::size_t group;  // from 0
  std::int32_t location;
  const Name8& name;
  const char* role;   // "retained" or "allocated"
  std::size_t index;  // in the group: its retained members first, then the allocated, from 0
};

// A row of distances.csv: one eliminated location against one group.
struct DistanceRow {
  const BlockResult& block;
  const EliminatedLocation& location;
  std::size_t group;  // from 0
  const Name8& name;
};

// A column of a table of rows R: its header and its field.
template <class R>
struct Column {
  std::string_view name;
  std::string (*field)(const R&);
};

std::string whole(std::int64_t v) {
  return std::to_string(v);
}

// The columns of groups.csv, in order; a new column is a new entry.
constexpr std::array<Column<MemberRow>, 9> kGroupColumns = {{
    {"step", [](const MemberRow& r) { return whole(r.block.StepNumber); }},
    {"group", [](const MemberRow& r) { return whole(static_cast<std::int64_t>(r.group + 1)); }},
    {"label", [](const MemberRow& r) { return whole(r.block.groups[r.group].label); }},
    {"location", [](const MemberRow& r) { return whole(r.location); }},
    {"location_name", [](const MemberRow& r) { return name_field(r.name); }},
    {"role", [](const MemberRow& r) { return quoted(r.role); }},
    {"lineage", [](const MemberRow& r) { return whole(r.found.groups[r.group].lineage); }},
    {"distance_to_centroid",
     [](const MemberRow& r) {
       return number(findings::distance_to_centroid(r.block.groups[r.group], r.index));
     }},
    {"representative",
     [](const MemberRow& r) {
       return std::string(r.found.groups[r.group].representative == r.location ? "true" : "false");
     }},
}};

// The columns of distances.csv, in order; a new column is a new entry.
constexpr std::array<Column<DistanceRow>, 8> kDistanceColumns = {{
    {"step", [](const DistanceRow& r) { return whole(r.block.StepNumber); }},
    {"location", [](const DistanceRow& r) { return whole(r.location.location); }},
    {"location_name", [](const DistanceRow& r) { return name_field(r.name); }},
    {"group", [](const DistanceRow& r) { return whole(static_cast<std::int64_t>(r.group + 1)); }},
    {"mean_sed",
     [](const DistanceRow& r) {
       const bool shared = r.location.cells[r.group] > 0;
       return number(shared ? std::optional<double>(r.location.mean_sed[r.group]) : std::nullopt);
     }},
    {"cells", [](const DistanceRow& r) { return whole(r.location.cells[r.group]); }},
    {"nearest",
     [](const DistanceRow& r) {
       return std::string(r.location.group == static_cast<std::int32_t>(r.group + 1) ? "1" : "0");
     }},
    {"margin",
     [](const DistanceRow& r) { return number(findings::allocation_margin(r.location)); }},
}};

// A row of sweep.csv: one step at one truncation level.
struct LevelRow {
  const BlockResult& block;
  const LevelFit& level;
};

std::optional<double> level_rsq(const LevelRow& r, Variant v) {
  if (r.level.bar != LevelBar::kNone) return std::nullopt;
  return rsq(r.level.fit[v].overall);
}

std::optional<double> level_adjusted(const LevelRow& r, Variant v) {
  if (r.level.bar != LevelBar::kNone) return std::nullopt;
  return findings::adjusted_fit(r.level.fit[v], r.level.groups).value;
}

// The columns of sweep.csv, in order; a new column is a new entry.
constexpr std::array<Column<LevelRow>, 8> kSweepColumns = {{
    {"step", [](const LevelRow& r) { return whole(r.block.StepNumber); }},
    {"groups", [](const LevelRow& r) { return whole(r.level.groups); }},
    {"retained", [](const LevelRow& r) { return whole(r.block.RetainedCount); }},
    {"eliminated",
     [](const LevelRow& r) { return whole(static_cast<std::int64_t>(r.block.eliminated.size())); }},
    {"rsq_classified", [](const LevelRow& r) { return number(level_rsq(r, kClassified)); }},
    {"rsq_with_allocated", [](const LevelRow& r) { return number(level_rsq(r, kWithAllocated)); }},
    {"adj_rsq_classified",
     [](const LevelRow& r) { return number(level_adjusted(r, kClassified)); }},
    {"adj_rsq_with_allocated",
     [](const LevelRow& r) { return number(level_adjusted(r, kWithAllocated)); }},
}};

template <class R, std::size_t N>
std::string header(const std::array<Column<R>, N>& columns) {
  Row row;
  for (const Column<R>& c : columns) row << c.name;
  return row.str();
}

template <class R, std::size_t N>
std::string line(const std::array<Column<R>, N>& columns, const R& r) {
  Row row;
  for (const Column<R>& c : columns) row << c.field(r);
  return row.str();
}

}  // namespace

void TablesWriter::head(const RunHead& head) {
  headed_ = true;
  year_names_ = head.YearNames;
  location_names_ = head.LocationNames;
  Row steps;
  for (const findings::StepColumn& c : findings::step_columns()) steps << c.name;
  *out_[0] << steps.str();
  *out_[1] << "step,year,year_name,variant,locmod,tss,ess,rss,rsq\n";
  *out_[2] << header(kGroupColumns);
  *out_[3] << header(kDistanceColumns);
  if (sweep_ != nullptr) *sweep_ << header(kSweepColumns);
}

void TablesWriter::block(const BlockResult& b) {
  const findings::StepFindings found = findings::find_step(b, previous_ ? &*previous_ : nullptr);
  Row step;
  for (const findings::StepColumn& c : findings::step_columns()) {
    std::visit([&](const auto& v) { field(step, v); }, c.value({b, found}));
  }
  *out_[0] << step.str();

  for (std::size_t v = 0; v < b.fit.size(); ++v) {
    for (const YearFit& y : b.fit[v].years) {
      Row row;
      row << b.StepNumber << y.year << name_field(at(year_names_, y.year)) << quoted(kVariants[v])
          << y.LocMod;
      sums(row, y.sums);
      *out_[1] << row.str();
    }
  }

  for (std::size_t k = 0; k < b.groups.size(); ++k) {
    const Group& g = b.groups[k];
    std::size_t index = 0;
    for (const auto& [list, role] :
         {std::pair{&g.members, "retained"}, std::pair{&g.allocated, "allocated"}}) {
      for (const std::int32_t u : *list) {
        *out_[2] << line(kGroupColumns, {b, found, k, u, at(location_names_, u), role, index++});
      }
    }
  }

  for (const EliminatedLocation& e : b.eliminated) {
    for (std::size_t k = 0; k < e.mean_sed.size(); ++k) {
      *out_[3] << line(kDistanceColumns, {b, e, k, at(location_names_, e.location)});
    }
  }

  if (sweep_ != nullptr) {
    for (const LevelFit& level : b.sweep) *sweep_ << line(kSweepColumns, {b, level});
  }

  auto& lineages = lineage_of_.emplace_back();
  for (const auto& [location, group] : found.membership) lineages[location] = found.lineage(group);
  previous_ = found;
}

void TablesWriter::finish() {
  if (!headed_) return;
  Row head;
  head << "location"
       << "location_name";
  for (std::size_t k = 1; k <= lineage_of_.size(); ++k) head << "step_" + std::to_string(k);
  *out_[4] << head.str();
  for (std::size_t u = 1; u <= location_names_.size(); ++u) {
    const auto location = static_cast<std::int32_t>(u);
    Row row;
    row << location << name_field(at(location_names_, location));
    for (const auto& lineages : lineage_of_) {
      const auto it = lineages.find(location);
      row << (it == lineages.end() ? std::string("NA") : std::to_string(it->second));
    }
    *out_[4] << row.str();
  }
}

}  // namespace locseq::tables
