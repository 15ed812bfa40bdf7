#include "classify/classify.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <functional>
#include <limits>
#include <map>
#include <optional>

#include "classify/analysis_calls.h"
#include "classify/pair_sums.h"
#include "classify/pairwise_sums.h"
#include "classify/retention.h"
#include "classify/ward.h"
#include "core/input_error.h"
#include "core/progress.h"
#include "formats/cls.h"

namespace locseq::classify {

namespace {

constexpr std::size_t kTitleColumns = formats::cls::kTitleColumns;
constexpr std::int32_t kLargestI4 = 9999;  // the largest label or year of a four-column field
// The most locations the pairwise proximity takes: its sums take 12 bytes
// for every two of them (600 MB for 10,000).
constexpr std::int32_t kMostPairwiseLocations = 10000;

std::string trimmed(std::string_view s) {
  const std::size_t first = s.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return std::string(s.substr(first, s.find_last_not_of(' ') - first + 1));
}

std::string name_of(const Trial& t, std::int32_t y) {
  const Name8& n = t.YearNames[static_cast<std::size_t>(y - 1)];
  return trimmed(std::string_view(n.data(), n.size()));
}

// "year 3 (1997)", or "year 3" when the year has no name.
std::string year_text(const Trial& t, std::int32_t y) {
  const std::string name = name_of(t, y);
  return "year " + std::to_string(y) + (name.empty() ? "" : " (" + name + ")");
}

std::string number_text(double v) {
  char buf[32];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

// The year a --first-year or --last-year names: a year number, else a year
// name (compared without the blanks around it).
std::int32_t resolve_year(const Trial& t, const std::string& text, const std::string& option,
                          std::vector<std::string>& warnings) {
  const std::string wanted = trimmed(text);
  std::vector<std::int32_t> named;
  for (std::int32_t y = 1; y <= t.MAXY; ++y) {
    if (!wanted.empty() && name_of(t, y) == wanted) named.push_back(y);
  }
  std::int64_t number = 0;
  const bool digits = !wanted.empty() && wanted.size() <= 9 &&
                      wanted.find_first_not_of("0123456789") == std::string::npos;
  if (digits) std::from_chars(wanted.data(), wanted.data() + wanted.size(), number);
  if (digits && number >= 1 && number <= t.MAXY) {
    if (!named.empty() && named.front() != number) {
      warnings.push_back(option + " " + wanted + " is taken as year number " + wanted + " (" +
                         name_of(t, static_cast<std::int32_t>(number)) +
                         "), not as the year named " + wanted + " (year " +
                         std::to_string(named.front()) + ")");
    }
    return static_cast<std::int32_t>(number);
  }
  if (named.size() == 1) return named.front();
  if (named.size() > 1) {
    throw InputError(option, 0,
                     quoted(wanted) + " names years " + std::to_string(named[0]) + " and " +
                         std::to_string(named[1]) + "; give the year number");
  }
  throw InputError(option, 0,
                   quoted(wanted) + " names no year: the years are numbered 1 to " +
                       std::to_string(t.MAXY) + " and named " + quoted(name_of(t, 1)) +
                       (t.MAXY > 1 ? " to " + quoted(name_of(t, t.MAXY)) : ""));
}

// `text` cut to at most `columns` bytes at a whole UTF-8 character.
std::string cut_to(std::string text, std::size_t columns) {
  if (text.size() <= columns) return text;
  std::size_t cut = columns;
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  text.resize(cut);
  return text;
}

// The title given, cut to 50 columns.
std::string title_given(const std::string& given, std::vector<std::string>& warnings) {
  if (given.find_first_of("\r\n") != std::string::npos) {
    throw InputError("--title", 0, "the title must be one line");
  }
  std::string title = cut_to(given, kTitleColumns);
  if (title.size() < given.size()) {
    warnings.push_back("the title is cut to its 50 columns: " + quoted(title));
  }
  return title;
}

// The default title: "NAME: 14 seasons, pairwise Ward", the name (its
// control characters as '?') cut to leave room for the rest.
std::string default_title(const ClassifyOptions& o, std::size_t seasons) {
  const std::string rest = std::to_string(seasons) + (seasons == 1 ? " season, " : " seasons, ") +
                           (o.proximity == Proximity::pairwise ? "pairwise" : "complete") + " Ward";
  std::string name = o.name;
  for (char& c : name) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  }
  if (name.empty()) return rest;
  const std::size_t room = kTitleColumns - rest.size() - 2;
  return cut_to(name, room) + ": " + rest;
}

// "year 3 (1997)" or "years 1 (1995) to 3 (1997)".
std::string window_text(const Trial& t, std::int32_t first, std::int32_t last) {
  if (first == last) return year_text(t, first);
  return "years " + year_text(t, first).substr(5) + " to " + year_text(t, last).substr(5);
}

// Where the value of largest magnitude of years first to last lies: "the
// largest value of the window, 3e+38, is that of year 1 (2019), location
// 4 (Dubbo), genotype 2 (G2)". Years without data are passed over.
std::string largest_value_text(const Trial& t, std::int32_t first, std::int32_t last) {
  float largest = 0.0f;
  std::int32_t at_y = 0, at_u = 0, at_j = 0;
  for (std::int32_t y = first; y <= last; ++y) {
    if (!t.has_data(y)) continue;
    const Mat<const float> v = t.values(y);
    const Mat<const std::int32_t> present = t.presence(y);
    for (std::int32_t j = 1; j <= t.MAXG; ++j) {
      for (std::int32_t u = 1; u <= t.MAXL; ++u) {
        if (present(u, j) > 0 && (at_y == 0 || std::fabs(v(u, j)) > std::fabs(largest))) {
          largest = v(u, j);
          at_y = y, at_u = u, at_j = j;
        }
      }
    }
  }
  const auto name = [](const std::vector<Name8>& names, std::int32_t k) {
    const std::string n =
        trimmed(std::string_view(names[static_cast<std::size_t>(k - 1)].data(), sizeof(Name8)));
    return std::to_string(k) + (n.empty() ? "" : " (" + n + ")");
  };
  if (at_y == 0) return "the window has no value";
  return "the largest value of the window, " + locseq::number_text(largest) + ", is that of year " +
         name(t.YearNames, at_y) + ", location " + name(t.LocationNames, at_u) + ", genotype " +
         name(t.GenotypeNames, at_j);
}

// The options, checked and settled.
struct Plan {
  std::int32_t level = 0;       // the truncation level
  std::int32_t IYS = 0;         // the first year of the sequence
  std::int32_t last_asked = 0;  // the last year asked for
  std::string title;            // the title given, when given
};

void check_share(double share, const char* option) {
  if (!(share > 0.0 && share <= 1.0)) {
    throw InputError(option, 0,
                     "the share " + number_text(share) + " must lie above 0 and at most 1");
  }
}

Plan plan_of(const Trial& t, const ClassifyOptions& o, std::vector<std::string>& warnings) {
  check_share(o.min_share, "--min-share");
  if (o.proximity == Proximity::pairwise) {
    check_share(o.min_years, "--min-years");
    if (o.min_cells < 1) {
      throw InputError(
          "--min-cells", 0,
          "the number of cells " + std::to_string(o.min_cells) + " must be at least 1");
    }
    if (t.MAXL > kMostPairwiseLocations) {
      throw InputError(t.naq_name, 0,
                       std::to_string(t.MAXL) +
                           " locations: the pairwise proximity keeps a sum for every two "
                           "locations, for at most " +
                           std::to_string(kMostPairwiseLocations) +
                           " locations; --proximity complete has no such limit");
    }
    if (std::int64_t{t.MAXY} * t.MAXG > std::numeric_limits<std::int32_t>::max()) {
      throw InputError(t.naq_name, 0,
                       "the sizes give more cells a location than the pairwise proximity counts; "
                       "use --proximity complete");
    }
  }
  Plan p;
  p.level = o.groups.value_or(default_level(t.MAXL));
  if (p.level < 1 || p.level > t.MAXL) {
    throw InputError("-g", 0,
                     "the truncation level " + std::to_string(p.level) +
                         " must lie in 1 to MAXL (" + std::to_string(t.MAXL) + ")");
  }
  p.IYS = o.first_year ? resolve_year(t, *o.first_year, "--first-year", warnings) : 1;
  p.last_asked = o.last_year ? resolve_year(t, *o.last_year, "--last-year", warnings) : t.MAXY;
  if (p.IYS > p.last_asked) {
    throw InputError("--first-year", 0,
                     "the sequence would start in " + year_text(t, p.IYS) + ", after its last " +
                         year_text(t, p.last_asked) + " (--last-year)");
  }
  if (o.title) p.title = title_given(*o.title, warnings);
  return p;
}

// A step can be cut by the run: more retained locations than the level and
// at most MAXL - level eliminated.
bool can_cut(const StepCounts& s, std::int32_t level, std::int32_t MAXL) {
  return s.retained > level && s.eliminated <= MAXL - level;
}

// The counts of a step's entries, and its retained locations.
StepCounts count_entries(std::int32_t k, std::int32_t y, const std::vector<std::int32_t>& entries,
                         std::vector<std::int32_t>& retained) {
  StepCounts s{k, y, 0, 0, 0, 0};
  retained.clear();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (entries[i] == 1) retained.push_back(static_cast<std::int32_t>(i + 1));
    ++(entries[i] == 1 ? s.retained : entries[i] == 0 ? s.eliminated : s.left_out);
  }
  return s;
}

// The years of a step's window, as far as the retention and the distances
// need them; the window grows by a year at every step.
class Window {
 public:
  Window(const Trial& t, const ClassifyOptions& o)
      : t_(t), o_(o), pairwise_(o.proximity == Proximity::pairwise), complete_sums_(t.MAXY) {
    if (pairwise_) pairwise_sums_.emplace(t.MAXL);
  }

  // Forgets the years taken in.
  void clear() {
    counts_.clear();
    presence_.clear();
    prepared_.clear();
    if (pairwise_sums_) pairwise_sums_->clear();
  }

  // Takes in year y; false when it has no data.
  bool add(std::int32_t y) {
    if (!t_.has_data(y)) return false;
    counts_.push_back(count_year(y, t_.presence(y)));
    presence_.push_back(t_.presence(y));
    std::vector<float>& v =
        pairwise_ ? scratch_ : prepared_.emplace(y, std::vector<float>()).first->second;
    v = t_.years[static_cast<std::size_t>(y - 1)].values;
    const Mat<float> values(v.data(), t_.MAXL, t_.MAXG);
    if (const std::optional<NonFinite> bad =
            prepare_year(values, t_.presence(y), o_.standardized)) {
      const auto at = [](const std::vector<Name8>& names, std::int32_t n) {
        return names[static_cast<std::size_t>(n - 1)];
      };
      throw InputError(
          t_.seq_name, 0,
          non_finite_message(*bad, y, at(t_.YearNames, y), at(t_.LocationNames, bad->location),
                             at(t_.GenotypeNames, bad->genotype), t_.MAXL));
    }
    if (pairwise_) pairwise_sums_->add_year(values, t_.presence(y));
    return true;
  }

  bool any_data() const { return !counts_.empty(); }

  // The entries of the step with the options `o` (the window's own, or
  // others the hints try).
  std::vector<std::int32_t> entries(const ClassifyOptions& o) const {
    if (pairwise_) {
      return pairwise_entries(counts_, *pairwise_sums_, o.min_share, o.min_years, o.min_cells,
                              t_.MAXL);
    }
    return complete_entries(counts_, o.min_share, t_.MAXL);
  }

  // Complete: some genotype of some year is present at all of `retained`.
  bool share_a_cell(std::span<const std::int32_t> retained) const {
    for (const Mat<const std::int32_t>& p : presence_) {
      for (std::int32_t j = 1; j <= t_.MAXG; ++j) {
        if (std::all_of(retained.begin(), retained.end(),
                        [&](std::int32_t i) { return p(i, j) > 0; })) {
          return true;
        }
      }
    }
    return false;
  }

  // The squared distances of the retained locations (a strict upper
  // triangle, as ward_hierarchy takes them); returns the cells they run
  // over.
  std::int64_t distances(std::span<const std::int32_t> retained, std::vector<double>& d) {
    const std::size_t n = retained.size();
    d.assign(n * (n - 1) / 2, 0.0);
    std::int64_t cells = 0;
    if (!pairwise_) {
      for (const YearCounts& c : counts_) {
        const std::vector<float>& v = prepared_.at(c.year);
        cells += complete_sums_.add_year(
            c.year, retained, Mat<const float>(v.data(), t_.MAXL, t_.MAXG), t_.presence(c.year), d);
      }
      return cells;
    }
    // N / c_ab times the sum over the c_ab shared cells: the squared
    // distance over all N cells, each missing term taken as the mean of
    // the present ones.
    cells = cells_with_a_value(presence_, retained);
    const auto N = static_cast<double>(cells);
    std::size_t at = 0;
    for (std::size_t a = 0; a < n; ++a) {
      for (std::size_t b = a + 1; b < n; ++b) {
        const double shared = pairwise_sums_->cells(retained[a], retained[b]);
        d[at++] = pairwise_sums_->sum(retained[a], retained[b]) * (N / shared);
      }
    }
    return cells;
  }

 private:
  const Trial& t_;
  const ClassifyOptions& o_;
  bool pairwise_;
  std::vector<YearCounts> counts_;                       // the years with data taken in
  std::vector<Mat<const std::int32_t>> presence_;        // and their presence
  std::map<std::int32_t, std::vector<float>> prepared_;  // complete: their prepared values
  PairSums complete_sums_;                               // complete
  std::optional<PairwiseSums> pairwise_sums_;            // pairwise
  std::vector<float> scratch_;                           // pairwise: the year being added
};

// The steps of a sequence that cannot be cut: why, and what would change
// that. Only options checked to let the step be cut are named.
class Hints {
 public:
  Hints(const Trial& t, const ClassifyOptions& o, std::int32_t level)
      : t_(t), o_(o), level_(level) {}

  // "step 5 (year 5 (2023)) retains 5 and eliminates 15 locations, but ..."
  // and, after "; ", the options that would let it be cut.
  std::string cannot_cut(const Window& w, const StepCounts& s, std::int32_t IYS) const {
    const std::string why = "step " + std::to_string(s.step) + " (" + year_text(t_, s.year) +
                            ") retains " + std::to_string(s.retained) + " and eliminates " +
                            std::to_string(s.eliminated) + " locations, but " + cut_rule();
    if (!w.any_data()) {
      return why + "; " + window_text(t_, IYS, s.year) + (IYS == s.year ? " has" : " have") +
             " no data (--first-year sets another start)";
    }
    const std::string hint = options_that_cut(w, s);
    return hint.empty() ? why : why + "; " + hint;
  }

  // "the run cuts a step only when ..."
  std::string cut_rule() const {
    return "the run cuts a step only when it retains more than the truncation level " +
           std::to_string(level_) +
           " and eliminates at most MAXL - level = " + std::to_string(t_.MAXL - level_);
  }

 private:
  // "--min-share 0.6 (now 0.8) or -g 4 or lower (now 5) would let it be
  // cut", or empty.
  std::string options_that_cut(const Window& w, const StepCounts& s) const {
    std::vector<std::string> found;
    const auto share = [&](double ClassifyOptions::*field, const char* option) {
      for (int hundredths = 95; hundredths >= 5; hundredths -= 5) {
        ClassifyOptions tried = o_;
        tried.*field = hundredths / 100.0;
        if (!(tried.*field < o_.*field)) continue;
        if (lets_cut(w, tried)) {
          found.push_back(std::string(option) + " " + number_text(tried.*field) + " (now " +
                          number_text(o_.*field) + ")");
          return;
        }
      }
    };
    share(&ClassifyOptions::min_share, "--min-share");
    if (o_.proximity == Proximity::pairwise) {
      share(&ClassifyOptions::min_years, "--min-years");
      std::vector<std::int32_t> tried_cells;
      for (std::int64_t tenths = 9; tenths >= 1; --tenths) {
        tried_cells.push_back(static_cast<std::int32_t>(o_.min_cells * tenths / 10));
      }
      for (std::int32_t c = 1; c < o_.min_cells && c < 10; ++c) tried_cells.push_back(c);
      std::sort(tried_cells.begin(), tried_cells.end(), std::greater<>());
      tried_cells.erase(std::unique(tried_cells.begin(), tried_cells.end()), tried_cells.end());
      for (std::int32_t c : tried_cells) {
        if (c < 1 || c >= o_.min_cells) continue;
        ClassifyOptions tried = o_;
        tried.min_cells = c;
        if (lets_cut(w, tried)) {
          found.push_back("--min-cells " + std::to_string(c) + " (now " +
                          std::to_string(o_.min_cells) + ")");
          break;
        }
      }
    }
    // A lower level lets more steps be cut on both counts.
    const std::int32_t g = std::min(s.retained - 1, t_.MAXL - s.eliminated);
    if (g >= 1 && g < level_) {
      found.push_back("-g " + std::to_string(g) + (g > 1 ? " or lower" : "") + " (now " +
                      std::to_string(level_) + ")");
    }
    if (found.empty()) return {};
    std::string text;
    for (std::size_t f = 0; f < found.size(); ++f) {
      text += (f == 0 ? "" : f + 1 == found.size() ? " or " : ", ") + found[f];
    }
    return text + " would let it be cut";
  }

  // The step of `w` can be cut with the options `tried`.
  bool lets_cut(const Window& w, const ClassifyOptions& tried) const {
    std::vector<std::int32_t> retained;
    const StepCounts s = count_entries(0, 0, w.entries(tried), retained);
    if (!can_cut(s, level_, t_.MAXL)) return false;
    return o_.proximity == Proximity::pairwise || w.share_a_cell(retained);
  }

  const Trial& t_;
  const ClassifyOptions& o_;
  std::int32_t level_;
};

// "year 1 (2019) alone retains 3 and eliminates 0 locations" or "year 2
// (2020) has no data".
std::string alone_text(const Trial& t, const StepCounts& s) {
  if (!t.has_data(s.year)) return year_text(t, s.year) + " has no data";
  return year_text(t, s.year) + " alone retains " + std::to_string(s.retained) +
         " and eliminates " + std::to_string(s.eliminated) + " locations";
}

// The years a pairwise sequence passed over at its start, and why.
std::string passed_over_text(const Trial& t, const std::vector<StepCounts>& skipped) {
  constexpr std::size_t kShown = 4;
  std::string text;
  for (std::size_t i = 0; i < skipped.size() && i < kShown; ++i) {
    text += (i == 0 ? "" : "; ") + alone_text(t, skipped[i]);
  }
  if (skipped.size() > kShown) {
    text += "; and " + std::to_string(skipped.size() - kShown) + " more years";
  }
  return text;
}

// A step of the sequence: its number and its window's first and last year.
struct StepWindow {
  std::int32_t k, first, last;
};

// Refuses a hierarchy with a fusion level beyond single precision, which a
// run could not read back, naming the two groups it joins.
void check_fusion_levels(const Trial& t, const std::vector<Fusion>& fusions,
                         const std::vector<std::int32_t>& retained, const StepWindow& w) {
  const auto n = static_cast<std::int32_t>(retained.size());
  // Labels up to n are the retained locations, in ascending order.
  const auto joined = [&](std::int32_t label) {
    if (label > n) return "group " + std::to_string(label);
    const std::int32_t u = retained[static_cast<std::size_t>(label - 1)];
    const std::string name = trimmed(
        std::string_view(t.LocationNames[static_cast<std::size_t>(u - 1)].data(), sizeof(Name8)));
    return "location " + std::to_string(u) + (name.empty() ? "" : " (" + name + ")");
  };
  for (const Fusion& f : fusions) {
    if (f.level <= static_cast<double>(std::numeric_limits<float>::max())) continue;
    throw InputError(t.seq_name, 0,
                     "step " + std::to_string(w.k) + " (" + window_text(t, w.first, w.last) +
                         "): joining " + joined(f.gi) + " and " + joined(f.gj) +
                         " gives a fusion level of " + number_text(f.level) +
                         ", beyond the single precision a run reads; " +
                         largest_value_text(t, w.first, w.last));
  }
}

}  // namespace

ClassifyResult classify(const Trial& t, const ClassifyOptions& o) {
  ClassifyResult res;
  const Plan plan = plan_of(t, o, res.warnings);
  const std::int32_t level = plan.level;
  const Hints hints(t, o, level);
  // Pairwise, unless the first year is given, the sequence starts at the
  // first year whose step alone can be cut.
  const bool may_start_later = o.proximity == Proximity::pairwise && !o.first_year;
  std::int32_t IYS = plan.IYS;
  res.level = level;

  Window window(t, o);
  std::vector<StepCounts> passed_over;  // the years passed over at the start
  std::vector<std::int32_t> retained;   // the retained locations of a step
  std::vector<double> d;                // their squared distances
  std::string blocks;
  for (std::int32_t y = IYS; y <= plan.last_asked; ++y) {
    const std::int32_t k = y - IYS + 1;
    const std::int32_t steps = plan.last_asked - IYS + 1;  // the most there can be
    report_progress({k - 1, steps, k, steps});
    const bool starting = k == 1 && may_start_later;
    if (!window.add(y) && !starting) {
      res.warnings.push_back(year_text(t, y) + " has no data; it is skipped in the retention test");
    }
    const std::vector<std::int32_t> entries = window.entries(o);
    StepCounts s = count_entries(k, y, entries, retained);
    if (!can_cut(s, level, t.MAXL)) {
      if (starting) {
        passed_over.push_back(s);
        if (y < plan.last_asked) {
          window.clear();
          IYS = y + 1;
          continue;
        }
        // No year alone can be cut: the reasons and the hints of the first
        // year with data.
        std::int32_t first = plan.IYS;
        while (first < y && !t.has_data(first)) ++first;
        window.clear();
        window.add(first);
        const StepCounts f = count_entries(1, first, window.entries(o), retained);
        throw InputError(t.seq_name, 0,
                         "no step of the sequence can be cut: no year of " +
                             window_text(t, plan.IYS, y) + " can be cut alone; " +
                             hints.cannot_cut(window, f, first));
      }
      const std::string why = hints.cannot_cut(window, s, IYS);
      if (k == 1) throw InputError(t.seq_name, 0, "no step of the sequence can be cut: " + why);
      res.stopped = s;
      res.warnings.push_back("the sequence ends at step " + std::to_string(k - 1) + " (" +
                             year_text(t, y - 1) + "): " + why);
      break;
    }
    if (k == 1 && !passed_over.empty()) {
      res.notes.push_back("the sequence starts at " + year_text(t, y) +
                          ", the first year whose step alone can be cut (" + hints.cut_rule() +
                          "): " + passed_over_text(t, passed_over));
    }
    if (2 * s.retained - 1 > kLargestI4) {
      throw InputError(t.seq_name, 0,
                       "step " + std::to_string(k) + " retains " + std::to_string(s.retained) +
                           " locations; the hierarchy records hold labels of four digits, so at "
                           "most 5000");
    }
    s.shared_cells = window.distances(retained, d);
    if (s.shared_cells == 0) {
      throw InputError(t.seq_name, 0,
                       "step " + std::to_string(k) + " (" + window_text(t, IYS, y) + "): its " +
                           std::to_string(s.retained) +
                           " retained locations share no cell (no genotype has a value at all of "
                           "them in any year of the window)");
    }
    const std::vector<Fusion> fusions = ward_hierarchy(s.retained, std::move(d));
    check_fusion_levels(t, fusions, retained, {k, IYS, y});
    formats::cls::write_block_header(blocks, {y, t.YearNames[static_cast<std::size_t>(y - 1)]});
    formats::cls::write_retained_count(blocks, s.retained);
    formats::cls::write_elimination_vector(blocks, entries);
    for (const Fusion& f : fusions) {
      formats::cls::write_hierarchy_record(blocks, f.gi, f.gj, f.gij, f.level);
    }
    res.steps.push_back(s);
    res.hierarchies.push_back(fusions);
  }
  res.IYS = IYS;
  res.IYF = IYS + static_cast<std::int32_t>(res.steps.size()) - 1;
  if (res.IYF > kLargestI4) {
    throw InputError(t.seq_name, 0,
                     "the sequence ends in year " + std::to_string(res.IYF) +
                         ", beyond the four columns of the sequence-years record");
  }
  // Unweighted, SED, centred or standardised, normal average correlation.
  formats::cls::write_head(res.cls, {t.MAXY, t.MAXL, t.MAXG, IYS, res.IYF});
  formats::cls::write_title(res.cls, o.title ? plan.title : default_title(o, res.steps.size()));
  res.cls += formats::cls::options_record({'U', 'S', o.standardized ? 'S' : 'C', 'N'});
  res.cls += formats::cls::sequence_years_record({IYS, res.IYF});
  res.cls += blocks;
  return res;
}

}  // namespace locseq::classify
