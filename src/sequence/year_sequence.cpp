#include "sequence/year_sequence.h"

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/cancel.h"
#include "core/input_error.h"
#include "core/non_finite.h"
#include "core/progress.h"
#include "data/centring.h"
#include "data/year_cache.h"
#include "data/year_reader.h"
#include "fit/allocation.h"
#include "fit/allocation_report.h"
#include "fit/fit_report.h"
#include "fit/model_fit.h"
#include "fit/overall_fit.h"
#include "formats/seq.h"
#include "groups/group_means.h"
#include "groups/kept_means.h"
#include "groups/sed.h"
#include "sequence/control_records.h"
#include "sequence/sweep.h"

namespace locseq {

namespace {

using records::Layout;

constexpr Layout kPassYear("(I6,4X,A8)");
constexpr Layout kEndOfData("(A)");

// What the two passes over the years of a block do differently: the line
// that opens each year, the progress line before standardising, and the
// pass's own last stage; and which pass of the block it is.
struct Pass {
  Layout announce;
  const char* standardise_line;
  const char* stage_line;
  std::int32_t index;  // 0 the first, 1 the second
};

constexpr Pass kSedPass{Layout("(/,'   For year ',A8,' in SED sequence for year',I4)"),
                        "   Location standardise the years data",
                        "   Calculate SED from group centroids", 0};
constexpr Pass kModfitPass{Layout("(/,'   For year ',A8,' in MODFIT sequence for year',I4)"),
                           "   Location standardize the years data", "   Calculate model fit", 1};

// Year y of a pass of block k as a progress point, in years read: the
// blocks before read k(k - 1) years. The number of blocks is the one the
// sequence-years record gives (IYF - IYS + 1), at most as many as the data
// years allow, and k when .CLS holds more.
Progress year_progress(const RunHead& head, const BlockResult& b, const Pass& pass,
                       std::int32_t y) {
  const std::int64_t k = b.StepNumber;
  const std::int64_t most = std::int64_t{head.parameters.MAXY} - head.IYS + 1;
  const std::int64_t n = std::max(k, std::min(std::int64_t{head.IYF} - head.IYS + 1, most));
  return {k * (k - 1) + pass.index * k + (y - b.first_year), n * (n + 1), b.StepNumber,
          static_cast<std::int32_t>(n)};
}

// What the passes of the run work with. The years come from the cache
// when it keeps them, else from .SEQ, read on from where the year before
// was read.
struct Passes {
  const Carved& a;
  const RunHead& head;
  Units& u;
  YearCache& cache;
  KeptMeans& means;
  records::FileReader::Position next{};  // where the next reading of .SEQ starts
  std::optional<records::FileReader::Position> sequence_start{};  // the records of IYS on
};

// The line of .SEQ that gave cell (u, j) of year y its value, reading from
// `from` (where the reading of year y starts) as the year reader does: the
// last record of the cell before the first of a later year. 0 when none.
long line_of_cell(records::FileReader& seq, const records::FileReader::Position& from,
                  std::int32_t y, std::int32_t u, std::int32_t j) {
  seq.seek(from);
  long line = 0;
  std::string_view record;
  formats::seq::Observation obs;
  while (seq.next(record)) {
    const formats::seq::Line kind = formats::seq::parse_line(record, obs, seq);
    if (kind == formats::seq::Line::Short) break;
    if (kind == formats::seq::Line::Blank || obs.year < y) continue;
    if (obs.year > y) break;
    if (obs.location == u && obs.genotype == j) line = seq.line();
  }
  return line;
}

// Ends the run for a value of year y that is not finite, naming the
// record of .SEQ behind it.
[[noreturn]] void fail_non_finite(const NonFinite& bad, std::int32_t y,
                                  const records::FileReader::Position& from, const RunHead& head,
                                  records::FileReader& seq) {
  const auto at = [](const std::vector<Name8>& names, std::int32_t k) {
    return names[static_cast<std::size_t>(k - 1)];
  };
  const long line = line_of_cell(seq, from, y, bad.location, bad.genotype);
  throw InputError(
      seq.name(), line,
      non_finite_message(bad, y, at(head.YearNames, y), at(head.LocationNames, bad.location),
                         at(head.GenotypeNames, bad.genotype), head.parameters.MAXL));
}

// One pass over the data years of the block: for each year, the opening
// lines, then read, centre, standardise when asked (or the year as kept
// from an earlier pass), group means, and the pass's own stage(y). Returns
// the number of observations read. Every stage that returns a value that is
// not finite ends the run there.
template <class Stage>
std::int64_t run_pass(const Pass& pass, Passes& feed, const BlockResult& b, Stage stage) {
  const Carved& a = feed.a;
  const RunHead& head = feed.head;
  Units& u = feed.u;
  feed.next = feed.sequence_start.value_or(records::FileReader::Position{});
  std::int64_t stored = 0;
  for (std::int32_t y = b.first_year; y <= b.last_year; ++y) {
    check_cancel();
    report_progress(year_progress(head, b, pass, y));
    const Name8& year_name = head.YearNames[static_cast<std::size_t>(y - 1)];
    const std::string_view name(year_name.data(), year_name.size());
    to_console_and_sco(u, records::format(pass.announce, {name, b.SequenceYear}));
    u.cos.write(kPassYear, {y, name});

    progress(u, "   Read data and calculate incidence matrix");
    const records::FileReader::Position from = feed.next;
    const auto check = [&](const std::optional<NonFinite>& bad) {
      if (bad) fail_non_finite(*bad, y, from, head, u.seq);
    };
    const YearCache::Reading* kept = feed.cache.restore(y, a.year);
    YearCache::Reading reading;
    if (kept != nullptr) {
      reading = *kept;
    } else {
      u.seq.seek(feed.next);
      reading.read = ReadYear(a.year, y, u.seq);
      reading.after = u.seq.tell();
      if (!feed.sequence_start) feed.sequence_start = reading.read.start;
    }
    feed.next = reading.after;
    if (reading.read.end_of_data) {
      to_console_and_sco(u, records::format(kEndOfData, {" End of data"}));
    }
    stored += reading.read.records;
    progress(u, "   Location centre the years data");
    if (kept == nullptr && !CentreYear(a.year)) check(CentringOverflow(a.year));
    if (head.standardise) {
      progress(u, pass.standardise_line);
      if (kept == nullptr) StandardiseYear(a.year);
    }
    if (kept == nullptr) feed.cache.keep(y, a.year, reading);
    progress(u, "   Calculate matrix of group means");
    if (!feed.means.restore(y, a.centroids)) {
      if (!FormGroupMeans(a.year, a.grouping, a.centroids))
        check(GroupMeansOverflow(a.year, a.grouping, a.centroids));
      feed.means.keep(y, a.centroids);
    }
    progress(u, pass.stage_line);
    check(stage(y));
  }
  return stored;
}

template <class T>
void clear(const Mat<T>& m) {
  std::fill_n(m.data(), m.rows() * m.cols(), T{});
}

// Says once for each level of the sweep, at the first block without a fit
// at that level, why it has none: one warning for the levels of the block
// that share a reason (`warned` marks the levels already said).
void warn_levels(const records::FileReader& cls, const ClsLines& at, const BlockResult& b,
                 std::vector<bool>& warned) {
  std::map<std::pair<long, std::string>, std::string> levels;  // (line, reason) -> levels
  warned.resize(b.sweep.size());
  for (std::size_t i = 0; i < b.sweep.size(); ++i) {
    const LevelFit& f = b.sweep[i];
    // The levels the work areas cannot hold are said once for the run.
    if (f.bar == LevelBar::kNone || f.bar == LevelBar::kAreas || warned[i]) continue;
    warned[i] = true;
    std::pair<long, std::string> reason{at.header, f.why};
    if (f.bar == LevelBar::kRetained) {
      reason = {at.count, "its " + std::to_string(b.RetainedCount) + " retained location" +
                              (b.RetainedCount == 1 ? " is" : "s are") +
                              " too few for that many groups"};
    } else if (f.bar == LevelBar::kHierarchy) {
      reason = {at.hierarchy + f.record - 1,
                "hierarchy record " + std::to_string(f.record) +
                    ", which the run's level does not apply, cannot be applied: " + f.why};
    }
    std::string& list = levels[reason];
    list += (list.empty() ? "" : ", ") + std::to_string(f.groups);
  }
  for (const auto& [reason, list] : levels) {
    cls.warn_at(reason.first, Warning::SweepLevel,
                "the sweep has no fit at " + list + (list == "1" ? " group" : " groups") +
                    " for block " + std::to_string(b.StepNumber) + ": " + reason.second);
  }
}

}  // namespace

void RunYearSequence(Carved a, RunHead& head, Units& u, Questions& q, ResultObserver& observer,
                     YearCache& cache, Sweep* sweep) {
  ClsLines at;
  ReadJobNames(a.names, u, head);
  ReadJobControl(u, q, head, at);
  observer.head(head);

  Grouping& g = a.grouping;
  KeptMeans means(a.centroids, head.parameters.MAXY, cache);
  Passes passes{a, head, u, cache, means};
  const auto MAXL = static_cast<std::size_t>(head.parameters.MAXL);
  std::vector<double> member_sums(MAXL);
  std::vector<std::int32_t> member_counts(MAXL);
  const MemberDistances members{{member_sums.data(), static_cast<long>(MAXL)},
                                {member_counts.data(), static_cast<long>(MAXL)}};
  std::vector<bool> warned;  // per level of the sweep
  for (std::int32_t k = 1;; ++k) {
    BlockResult b;
    b.StepNumber = k;
    if (!ReadBlockHeader(u, b, at)) return;
    ReadBlockBody(g, head.parameters.NGP, u, b, at);
    CutBlock(g, head, u, b, at);
    if (sweep != nullptr) sweep->start_block(g);

    clear(a.distances.SedSums);
    clear(a.distances.SedCounts);
    std::fill(member_sums.begin(), member_sums.end(), 0.0);
    std::fill(member_counts.begin(), member_counts.end(), 0);
    means.clear();
    const std::int64_t observations =
        run_pass(kSedPass, passes, b, [&](std::int32_t) -> std::optional<NonFinite> {
          if (!AddYearDistances(a.year, g, a.centroids, a.distances))
            return DistanceOverflow(a.year, g, a.centroids, a.distances);
          if (!AddMemberDistances(a.year, g, a.centroids, members))
            return MemberDistanceOverflow(a.year, g, a.centroids, members);
          if (sweep != nullptr) sweep->add_year_distances(a.year);
          return std::nullopt;
        });
    if (observations == 0) WarnEmptyBlock(u.cls, at.header, b, u.seq.name());

    progress(u, "   Allocate eliminated locations");
    b.eliminated = AllocateEliminatedLocations(a.distances, g);
    b.groups = GroupsOfBlock(g, members, b.eliminated);
    EnlargeGroups(g, b.eliminated, a.enlarged);
    write_allocation_alc(b, u.alc);
    write_allocation_cos(b, u.cos);
    write_allocation_sco(b, head.LocationNames, u.sco);
    if (sweep != nullptr) sweep->allocate();

    for (const Mat<double>& table : {a.fit.TSSj, a.fit.ESSj, a.fit.RSSj, a.fit.RSQj}) clear(table);
    run_pass(kModfitPass, passes, b, [&](std::int32_t y) {
      std::optional<NonFinite> bad = FitYear(a.year, g, a.enlarged, a.centroids, a.fit, y);
      if (!bad && sweep != nullptr) sweep->fit_year(a.year, y);
      return bad;
    });

    progress(u, "   Calculate overall fit");
    b.fit = FitOfBlock(a.fit, b.first_year, b.last_year);
    if (sweep != nullptr) {
      b.sweep = sweep->finish_block(b);
      warn_levels(u.cls, at, b, warned);
    }
    write_fit_cos(b, u.cos);
    write_fit_sco(b, u.sco);
    observer.block(b);
  }
}

}  // namespace locseq
