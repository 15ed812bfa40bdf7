#include "tables/tables_writer.h"

#include <string>
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

}  // namespace

void TablesWriter::head(const RunHead& head) {
  year_names_ = head.YearNames;
  location_names_ = head.LocationNames;
  std::string steps;
  for (const findings::StepColumn& c : findings::step_columns()) {
    if (!steps.empty()) steps += ',';
    steps += c.name;
  }
  *out_[0] << steps << '\n';
  *out_[1] << "step,year,year_name,variant,locmod,tss,ess,rss,rsq\n";
  *out_[2] << "step,group,label,location,location_name,role\n";
  *out_[3] << "step,location,location_name,group,mean_sed,cells,nearest\n";
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
    auto member = [&](std::int32_t u, const char* role) {
      Row row;
      row << b.StepNumber << static_cast<std::int64_t>(k + 1) << g.label << u
          << name_field(at(location_names_, u)) << quoted(role);
      *out_[2] << row.str();
    };
    for (std::int32_t u : g.members) member(u, "retained");
    for (std::int32_t u : g.allocated) member(u, "allocated");
  }

  for (const EliminatedLocation& e : b.eliminated) {
    for (std::size_t k = 0; k < e.mean_sed.size(); ++k) {
      const bool has_cells = e.cells[k] > 0;
      Row row;
      row << b.StepNumber << e.location << name_field(at(location_names_, e.location))
          << static_cast<std::int64_t>(k + 1)
          << number(has_cells ? std::optional<double>(e.mean_sed[k]) : std::nullopt) << e.cells[k]
          << (e.group == static_cast<std::int32_t>(k + 1) ? "1" : "0");
      *out_[3] << row.str();
    }
  }
  previous_ = found;
}

}  // namespace locseq::tables
