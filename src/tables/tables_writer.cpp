#include "tables/tables_writer.h"

#include <string>

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

const Name8& at(const std::vector<Name8>& names, std::int32_t number) {
  return names[static_cast<std::size_t>(number - 1)];
}

}  // namespace

TablesWriter::TablesWriter(const std::array<std::ostream*, 4>& out, std::vector<ExtraColumn> extra)
    : out_(out), extra_(std::move(extra)) {}

void TablesWriter::head(const RunHead& head) {
  year_names_ = head.YearNames;
  location_names_ = head.LocationNames;
  std::string steps =
      "step,sequence_year,sequence_year_name,first_year,last_year,retained,eliminated,groups,"
      "tss_classified,ess_classified,rss_classified,rsq_classified,tss_with_allocated,"
      "ess_with_allocated,rss_with_allocated,rsq_with_allocated";
  for (const ExtraColumn& c : extra_) steps += std::string(",") + c.name;
  *out_[0] << steps << '\n';
  *out_[1] << "step,year,year_name,variant,locmod,tss,ess,rss,rsq\n";
  *out_[2] << "step,group,label,location,location_name,role\n";
  *out_[3] << "step,location,location_name,group,mean_sed,cells,nearest\n";
}

void TablesWriter::block(const BlockResult& b) {
  Row step;
  step << b.StepNumber << b.SequenceYear << name_field(b.SequenceYearName) << b.first_year
       << b.last_year << b.RetainedCount << static_cast<std::int64_t>(b.eliminated.size())
       << b.CutLevel;
  for (const VariantFit& f : b.fit) sums(step, f.overall);
  for (const ExtraColumn& c : extra_) {
    step << number(c.value(previous_ ? &*previous_ : nullptr, b));
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
  previous_ = b;
}

}  // namespace locseq::tables
