#include "tables/tables_writer.h"

#include <string>
#include <string_view>
#include <variant>

#include "findings/step_columns.h"
#include "formats/text_encoding.h"

namespace locseq::tables {

namespace {

constexpr std::array<const char*, 2> kVariants = {"classified", "with_allocated"};

// A name as the tables show it: without its trailing blanks, a byte that
// is not UTF-8 written \xHH (the tables are UTF-8 text).
std::string name_text(const Name8& name) {
  const std::string_view text(name.data(), name.size());
  return formats::text::escape_invalid_utf8(text.substr(0, text.find_last_not_of(' ') + 1));
}

Field whole(std::int64_t v) {
  return v;
}

Field real(std::optional<double> v) {
  return v ? Field(*v) : Field();
}

Field rsq(const FitSums& s) {
  return s.rsq_defined ? Field(s.RSQ) : Field();
}

const Name8& at(const std::vector<Name8>& names, std::int32_t number) {
  return names[static_cast<std::size_t>(number - 1)];
}

// A column of a table of rows R: its header, its type and its field.
template <class R>
struct Column {
  std::string_view name;
  Type type;
  Field (*field)(const R&);
};

// A row of fit_by_year.csv: one data year of one variant of one step.
struct YearRow {
  const BlockResult& block;
  const YearFit& fit;
  std::size_t variant;
  const Name8& name;
};

// The columns of fit_by_year.csv, in order; a new column is a new entry.
constexpr std::array<Column<YearRow>, 9> kYearColumns = {{
    {"step", Type::integer, [](const YearRow& r) { return whole(r.block.StepNumber); }},
    {"year", Type::integer, [](const YearRow& r) { return whole(r.fit.year); }},
    {"year_name", Type::text, [](const YearRow& r) { return Field(name_text(r.name)); }},
    {"variant", Type::text,
     [](const YearRow& r) { return Field(std::string(kVariants[r.variant])); }},
    {"locmod", Type::integer, [](const YearRow& r) { return whole(r.fit.LocMod); }},
    {"tss", Type::real, [](const YearRow& r) { return Field(r.fit.sums.TSS); }},
    {"ess", Type::real, [](const YearRow& r) { return Field(r.fit.sums.ESS); }},
    {"rss", Type::real, [](const YearRow& r) { return Field(r.fit.sums.RSS); }},
    {"rsq", Type::real, [](const YearRow& r) { return rsq(r.fit.sums); }},
}};

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

// The columns of groups.csv, in order; a new column is a new entry.
constexpr std::array<Column<MemberRow>, 9> kGroupColumns = {{
    {"step", Type::integer, [](const MemberRow& r) { return whole(r.block.StepNumber); }},
    {"group", Type::integer,
     [](const MemberRow& r) { return whole(static_cast<std::int64_t>(r.group + 1)); }},
    {"label", Type::integer,
     [](const MemberRow& r) { return whole(r.block.groups[r.group].label); }},
    {"location", Type::integer, [](const MemberRow& r) { return whole(r.location); }},
    {"location_name", Type::text, [](const MemberRow& r) { return Field(name_text(r.name)); }},
    {"role", Type::text, [](const MemberRow& r) { return Field(std::string(r.role)); }},
    {"lineage", Type::integer,
     [](const MemberRow& r) { return whole(r.found.groups[r.group].lineage); }},
    {"distance_to_centroid", Type::real,
     [](const MemberRow& r) {
       return real(findings::distance_to_centroid(r.block.groups[r.group], r.index));
     }},
    {"representative", Type::logical,
     [](const MemberRow& r) {
       return Field(r.found.groups[r.group].representative == r.location);
     }},
}};

// A row of distances.csv: one eliminated location against one group.
struct DistanceRow {
  const BlockResult& block;
  const EliminatedLocation& location;
  std::size_t group;  // from 0
  const Name8& name;
};

// The columns of distances.csv, in order; a new column is a new entry.
constexpr std::array<Column<DistanceRow>, 8> kDistanceColumns = {{
    {"step", Type::integer, [](const DistanceRow& r) { return whole(r.block.StepNumber); }},
    {"location", Type::integer, [](const DistanceRow& r) { return whole(r.location.location); }},
    {"location_name", Type::text, [](const DistanceRow& r) { return Field(name_text(r.name)); }},
    {"group", Type::integer,
     [](const DistanceRow& r) { return whole(static_cast<std::int64_t>(r.group + 1)); }},
    {"mean_sed", Type::real,
     [](const DistanceRow& r) {
       const bool shared = r.location.cells[r.group] > 0;
       return real(shared ? std::optional<double>(r.location.mean_sed[r.group]) : std::nullopt);
     }},
    {"cells", Type::integer, [](const DistanceRow& r) { return whole(r.location.cells[r.group]); }},
    {"nearest", Type::integer,
     [](const DistanceRow& r) {
       return whole(r.location.group == static_cast<std::int32_t>(r.group + 1) ? 1 : 0);
     }},
    {"margin", Type::real,
     [](const DistanceRow& r) { return real(findings::allocation_margin(r.location)); }},
}};

// A row of sweep.csv: one step at one truncation level.
struct LevelRow {
  const BlockResult& block;
  const LevelFit& level;
};

Field level_rsq(const LevelRow& r, Variant v) {
  if (r.level.bar != LevelBar::kNone) return Field();
  return rsq(r.level.fit[v].overall);
}

Field level_adjusted(const LevelRow& r, Variant v) {
  if (r.level.bar != LevelBar::kNone) return Field();
  return real(findings::adjusted_fit(r.level.fit[v], r.level.groups).value);
}

// The columns of sweep.csv, in order; a new column is a new entry.
constexpr std::array<Column<LevelRow>, 8> kSweepColumns = {{
    {"step", Type::integer, [](const LevelRow& r) { return whole(r.block.StepNumber); }},
    {"groups", Type::integer, [](const LevelRow& r) { return whole(r.level.groups); }},
    {"retained", Type::integer, [](const LevelRow& r) { return whole(r.block.RetainedCount); }},
    {"eliminated", Type::integer,
     [](const LevelRow& r) { return whole(static_cast<std::int64_t>(r.block.eliminated.size())); }},
    {"rsq_classified", Type::real, [](const LevelRow& r) { return level_rsq(r, kClassified); }},
    {"rsq_with_allocated", Type::real,
     [](const LevelRow& r) { return level_rsq(r, kWithAllocated); }},
    {"adj_rsq_classified", Type::real,
     [](const LevelRow& r) { return level_adjusted(r, kClassified); }},
    {"adj_rsq_with_allocated", Type::real,
     [](const LevelRow& r) { return level_adjusted(r, kWithAllocated); }},
}};

template <class R, std::size_t N>
void header(TableSink& out, const std::array<Column<R>, N>& columns) {
  std::array<ColumnHead, N> heads;
  for (std::size_t k = 0; k < N; ++k) heads[k] = {std::string(columns[k].name), columns[k].type};
  out.columns(heads);
}

template <class R, std::size_t N>
void line(TableSink& out, const std::array<Column<R>, N>& columns, const R& r) {
  std::array<Field, N> fields;
  for (std::size_t k = 0; k < N; ++k) fields[k] = columns[k].field(r);
  out.row(fields);
}

// steps.csv: the columns of findings::step_columns().
Type step_type(const findings::StepColumn& c) {
  constexpr std::array<Type, 3> kTypes = {Type::integer, Type::real, Type::text};
  return kTypes[c.value.type()];
}

Field step_field(const findings::StepValue& v) {
  struct ToField {
    Field operator()(std::int64_t x) const { return x; }
    Field operator()(std::optional<double> x) const { return real(x); }
    Field operator()(const Name8& x) const { return name_text(x); }
  };
  return std::visit(ToField{}, v);
}

}  // namespace

TablesWriter::TablesWriter(const std::array<std::ostream*, kTableNames.size()>& out,
                           std::ostream* sweep) {
  for (std::size_t k = 0; k < out.size(); ++k) {
    out_[k] = csv_.emplace_back(std::make_unique<CsvSink>(*out[k])).get();
  }
  if (sweep != nullptr) sweep_ = csv_.emplace_back(std::make_unique<CsvSink>(*sweep)).get();
}

void TablesWriter::head(const RunHead& head) {
  headed_ = true;
  year_names_ = head.YearNames;
  location_names_ = head.LocationNames;
  std::vector<ColumnHead> steps;
  for (const findings::StepColumn& c : findings::step_columns()) {
    steps.push_back({std::string(c.name), step_type(c)});
  }
  out_[0]->columns(steps);
  header(*out_[1], kYearColumns);
  header(*out_[2], kGroupColumns);
  header(*out_[3], kDistanceColumns);
  if (sweep_ != nullptr) header(*sweep_, kSweepColumns);
}

void TablesWriter::block(const BlockResult& b) {
  const findings::StepFindings found = findings::find_step(b, previous_ ? &*previous_ : nullptr);
  std::vector<Field> step;
  for (const findings::StepColumn& c : findings::step_columns()) {
    step.push_back(step_field(c.value({b, found})));
  }
  out_[0]->row(step);

  for (std::size_t v = 0; v < b.fit.size(); ++v) {
    for (const YearFit& y : b.fit[v].years) {
      line(*out_[1], kYearColumns, {b, y, v, at(year_names_, y.year)});
    }
  }

  for (std::size_t k = 0; k < b.groups.size(); ++k) {
    const Group& g = b.groups[k];
    std::size_t index = 0;
    for (const auto& [list, role] :
         {std::pair{&g.members, "retained"}, std::pair{&g.allocated, "allocated"}}) {
      for (const std::int32_t u : *list) {
        line(*out_[2], kGroupColumns, {b, found, k, u, at(location_names_, u), role, index++});
      }
    }
  }

  for (const EliminatedLocation& e : b.eliminated) {
    for (std::size_t k = 0; k < e.mean_sed.size(); ++k) {
      line(*out_[3], kDistanceColumns, {b, e, k, at(location_names_, e.location)});
    }
  }

  if (sweep_ != nullptr) {
    for (const LevelFit& level : b.sweep) line(*sweep_, kSweepColumns, {b, level});
  }

  auto& lineages = lineage_of_.emplace_back();
  for (const auto& [location, group] : found.membership) lineages[location] = found.lineage(group);
  previous_ = found;
}

void TablesWriter::finish() {
  if (!headed_) return;
  std::vector<ColumnHead> heads = {{"location", Type::integer}, {"location_name", Type::text}};
  for (std::size_t k = 1; k <= lineage_of_.size(); ++k) {
    heads.push_back({"step_" + std::to_string(k), Type::integer});
  }
  out_[4]->columns(heads);
  for (std::size_t u = 1; u <= location_names_.size(); ++u) {
    const auto location = static_cast<std::int32_t>(u);
    std::vector<Field> row = {whole(location), name_text(at(location_names_, location))};
    for (const auto& lineages : lineage_of_) {
      const auto it = lineages.find(location);
      row.push_back(it == lineages.end() ? Field() : whole(it->second));
    }
    out_[4]->row(row);
  }
}

}  // namespace locseq::tables
