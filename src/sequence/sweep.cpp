#include "sequence/sweep.h"

#include <algorithm>
#include <array>

#include "fit/allocation.h"
#include "fit/level_fit.h"
#include "fit/model_fit.h"
#include "fit/overall_fit.h"
#include "groups/group_means.h"
#include "groups/sed.h"
#include "sequence/hierarchy.h"

namespace locseq {

namespace {

std::size_t size(std::int64_t n) {
  return static_cast<std::size_t>(n);
}

template <class T>
Vec<T> vec(std::vector<T>& v) {
  return {v.data(), static_cast<long>(v.size())};
}

template <class T>
Mat<T> mat(std::vector<T>& v, long rows, long cols) {
  return {v.data(), rows, cols};
}

}  // namespace

// One level: its arrays, shaped as a run at that level carves them (the
// enlarged membership as the run holds it, NGP x MAXL), the views over
// them, and the block's state at that level.
struct Sweep::Level {
  Level(const RunParameters& p, std::int32_t h, bool fits)
      : groups(h),
        fits_areas(fits),
        lists(size(5) * size(p.MAXL)),
        means(size(h) * size(p.MAXG)),
        counts(means.size()),
        sed_sums(size(std::max(0, p.MAXL - h)) * size(h)),
        sed_counts(sed_sums.size()),
        allocated_sizes(size(p.MAXL)),
        allocated_members(size(h) * size(p.MAXL)),
        sums(size(8) * size(p.MAXY)),
        locmod(size(2) * size(p.MAXY)) {
    const long L = p.MAXL, G = p.MAXG, Y = p.MAXY, V = std::max(0L, L - h);
    std::int32_t* list = lists.data();
    for (Vec<std::int32_t>* v :
         {&grouping.GroupLabels, &grouping.GroupSizes, &grouping.GroupMemberList,
          &grouping.MemberLocations, &grouping.EliminatedLocations}) {
      *v = {list, L};
      list += L;
    }
    centroids = {mat(means, h, G), mat(counts, h, G)};
    distances = {mat(sed_sums, V, h), mat(sed_counts, V, h)};
    enlarged = {vec(allocated_sizes), mat(allocated_members, h, L)};
    double* s = sums.data();
    for (Mat<double>* t : {&fit.TSSj, &fit.ESSj, &fit.RSSj, &fit.RSQj}) {
      *t = {s, Y, 2};
      s += 2 * Y;
    }
    fit.LocMod = mat(locmod, Y, 2);
  }

  // Ends the block at this level for `bar`, with no fit.
  void bar_block(LevelBar why, std::string text = {}, long record = 0) {
    result.bar = why;
    result.why = std::move(text);
    result.record = record;
  }
  // Whether the stages run at this level: it is cut, and not the run's.
  bool works() const { return result.bar == LevelBar::kNone && !own; }
  // A stage's value that is not finite: no fit at this level.
  void check(bool finite, const char* what) {
    if (!finite) bar_block(LevelBar::kNumbers, what);
  }

  std::int32_t groups;
  bool fits_areas;
  bool own = false;                 // the run's level: the run's stages cut it
  std::vector<std::int32_t> lists;  // the five lists of locations, MAXL each
  std::vector<float> means;
  std::vector<std::int32_t> counts;
  std::vector<double> sed_sums;
  std::vector<std::int32_t> sed_counts;
  std::vector<std::int32_t> allocated_sizes;
  std::vector<std::int32_t> allocated_members;
  std::vector<double> sums;  // TSSj, ESSj, RSSj, RSQj
  std::vector<std::int32_t> locmod;

  Grouping grouping;
  Centroids centroids;
  Distances distances;
  Enlarged enlarged;
  FitTables fit;
  LevelFit result;

  // The groups as the fit reads them from the year's rows: as classified
  // and as enlarged by the allocation; the squares of their means.
  std::array<GroupLists, 2> fit_lists;
  std::array<std::vector<double>, 2> squares;
};

Sweep::Sweep(const RunParameters& p, SweepRange range, const std::vector<bool>& fits_areas)
    : NGP_(p.NGP) {
  for (std::int32_t h = range.first; h <= range.last; ++h) {
    const bool fits = fits_areas[static_cast<std::size_t>(h - range.first)];
    // The run's own level and the levels no block can be cut at need no
    // arrays.
    const bool works = h != p.NGP && h < p.MAXL && fits;
    levels_.push_back(std::make_unique<Level>(works ? p : RunParameters{}, h, fits));
  }
}

Sweep::~Sweep() = default;

void Sweep::start_block(const Grouping& g) {
  for (const std::unique_ptr<Level>& level : levels_) {
    Level& l = *level;
    const std::int32_t h = l.groups;
    l.result = LevelFit{};
    l.result.groups = h;
    l.own = h == NGP_;
    if (h == NGP_) continue;  // the run's own stages cut it
    if (g.RetainedCount <= h) {
      l.bar_block(LevelBar::kRetained);
      continue;
    }
    if (!l.fits_areas) {
      l.bar_block(LevelBar::kAreas);
      continue;
    }
    Grouping& lg = l.grouping;
    lg.EliminationVector = g.EliminationVector;
    lg.FusionPairs = g.FusionPairs;
    lg.RetainedCount = g.RetainedCount;
    lg.CutLevel = h;
    try {
      CutHierarchy(lg);
    } catch (const BadFusion& bad) {
      l.bar_block(LevelBar::kHierarchy, bad.why, bad.record);
      continue;
    }
    std::fill(l.sed_sums.begin(), l.sed_sums.end(), 0.0);
    std::fill(l.sed_counts.begin(), l.sed_counts.end(), 0);
  }
}

void Sweep::add_year_distances(const Year& year) {
  for (const std::unique_ptr<Level>& level : levels_) {
    Level& l = *level;
    if (!l.works()) continue;
    l.check(FormGroupMeans(year, l.grouping, l.centroids), "the group means are not finite");
    if (!l.works()) continue;
    l.check(AddYearDistances(year, l.grouping, l.centroids, l.distances),
            "the squared distances are not finite");
  }
}

void Sweep::allocate() {
  for (const std::unique_ptr<Level>& level : levels_) {
    Level& l = *level;
    if (!l.works()) continue;
    EnlargeGroups(l.grouping, AllocateEliminatedLocations(l.distances, l.grouping), l.enlarged);
    std::fill(l.sums.begin(), l.sums.end(), 0.0);
    GroupLists& classified = l.fit_lists[0];
    GroupLists& enlarged = l.fit_lists[1];
    classified = {};
    enlarged = {};
    std::int32_t p = 0;
    for (std::int32_t k = 1; k <= l.groups; ++k) {
      classified.sizes.push_back(l.grouping.GroupSizes(k));
      for (std::int32_t i = 1; i <= l.grouping.GroupSizes(k); ++i)
        classified.locations.push_back(l.grouping.MemberLocations(++p));
      enlarged.sizes.push_back(l.enlarged.AllocatedGroupSizes(k));
      for (std::int32_t i = 1; i <= l.enlarged.AllocatedGroupSizes(k); ++i)
        enlarged.locations.push_back(l.enlarged.AllocatedGroupMembers(k, i));
    }
  }
}

void Sweep::fit_year(const Year& year, std::int32_t y) {
  // Every level's two variants, their sums side by side over the year's
  // rows, laid out once.
  std::vector<RowFit> fits;
  std::vector<Level*> fitted;
  bool laid_out = false;
  for (const std::unique_ptr<Level>& level : levels_) {
    Level& l = *level;
    if (!l.works()) continue;
    if (!laid_out) rows_.fill(year);
    laid_out = true;
    for (std::size_t v = 0; v < 2 && l.works(); ++v) {
      l.check(MeansOfRows(rows_, l.fit_lists[v], means_, counts_), "the group means are not finite");
      SquareMeans(means_, l.squares[v]);
    }
    if (!l.works()) continue;
    fitted.push_back(&l);
    for (std::size_t v = 0; v < 2; ++v) fits.push_back({&l.fit_lists[v], l.squares[v].data()});
  }
  sums_.resize(fits.size());
  FitRows(rows_, fits, sums_);
  for (std::size_t f = 0; f < fitted.size(); ++f) {
    Level& l = *fitted[f];
    for (std::int32_t v = 1; v <= 2 && l.works(); ++v) {
      const VariantSums& s = sums_[2 * f + static_cast<std::size_t>(v - 1)];
      l.check(FiniteSums(s), "the sums of squares of the fit are not finite");
      StoreYearFit(l.fit, y, v, s);
    }
  }
}

std::vector<LevelFit> Sweep::finish_block(const BlockResult& b) const {
  std::vector<LevelFit> out;
  for (const std::unique_ptr<Level>& level : levels_) {
    LevelFit f = level->result;
    if (level->own) {
      f.fit = b.fit;
    } else if (f.bar == LevelBar::kNone) {
      f.fit = FitOfBlock(level->fit, b.first_year, b.last_year);
    }
    out.push_back(std::move(f));
  }
  return out;
}

}  // namespace locseq
