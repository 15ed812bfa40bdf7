#include "classify/classify.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "classify/analysis_calls.h"
#include "classify/cls_writer.h"
#include "classify/pair_sums.h"
#include "classify/ward.h"
#include "core/input_error.h"

namespace locseq::classify {

namespace {

constexpr std::size_t kTitleColumns = 50;
constexpr std::int32_t kLargestI4 = 9999;  // the largest label or year of a four-column field

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

// The title: as given, cut to 50 columns at a whole UTF-8 character.
std::string title_of(const ClassifyOptions& o, std::vector<std::string>& warnings) {
  if (!o.title) {
    return std::string("Ward SED, ") + (o.standardized ? "standardized" : "centred") +
           ", min share " + number_text(o.min_share);
  }
  std::string title = *o.title;
  if (title.find_first_of("\r\n") != std::string::npos) {
    throw InputError("--title", 0, "the title must be one line");
  }
  if (title.size() > kTitleColumns) {
    std::size_t cut = kTitleColumns;
    while (cut > 0 && (static_cast<unsigned char>(title[cut]) & 0xC0) == 0x80) --cut;
    title.resize(cut);
    warnings.push_back("the title is cut to its 50 columns: " + quoted(title));
  }
  return title;
}

// Retention over the growing window: which locations have values in every
// year with data for at least the share of the year's observed genotypes.
class Retention {
 public:
  explicit Retention(std::int32_t MAXL)
      : qualifies_(static_cast<std::size_t>(MAXL), 1),
        has_value_(static_cast<std::size_t>(MAXL), 0) {}

  // Takes in year y, which has data.
  void add_year(Mat<const std::int32_t> presence, double min_share) {
    const std::int32_t MAXL = static_cast<std::int32_t>(presence.rows());
    std::vector<std::int32_t> count(static_cast<std::size_t>(MAXL), 0);
    std::int32_t observed = 0;  // genotypes with a value at some location
    for (std::int32_t j = 1; j <= presence.cols(); ++j) {
      bool any = false;
      for (std::int32_t i = 1; i <= MAXL; ++i) {
        if (presence(i, j) > 0) {
          ++count[static_cast<std::size_t>(i - 1)];
          any = true;
        }
      }
      observed += any;
    }
    for (std::size_t i = 0; i < count.size(); ++i) {
      const double share = static_cast<double>(count[i]) / observed;
      if (!(share >= min_share)) qualifies_[i] = 0;
      if (count[i] > 0) has_value_[i] = 1;
    }
  }

  // The entries: 1 retained, 0 eliminated, 2 no value in the window.
  std::vector<std::int32_t> entries() const {
    std::vector<std::int32_t> e(qualifies_.size());
    for (std::size_t i = 0; i < e.size(); ++i) e[i] = !has_value_[i] ? 2 : qualifies_[i] ? 1 : 0;
    return e;
  }

 private:
  std::vector<char> qualifies_;  // the share reached in every year with data so far
  std::vector<char> has_value_;  // a value in some year so far
};

// "year 3 (1997)" or "years 1 (1995) to 3 (1997)".
std::string window_text(const Trial& t, std::int32_t first, std::int32_t last) {
  if (first == last) return year_text(t, first);
  return "years " + year_text(t, first).substr(5) + " to " + year_text(t, last).substr(5);
}

// Why a step cannot be cut, and what would change it.
std::string cannot_cut(const Trial& t, const StepCounts& s, std::int32_t level, double min_share,
                       std::int32_t IYS) {
  const std::string why =
      "step " + std::to_string(s.step) + " (" + year_text(t, s.year) + ") retains " +
      std::to_string(s.retained) + " and eliminates " + std::to_string(s.eliminated) +
      " locations, but the run cuts a step only when it retains more than the truncation level " +
      std::to_string(level) +
      " and eliminates at most MAXL - level = " + std::to_string(t.MAXL - level);
  bool any_data = false;
  for (std::int32_t y = IYS; y <= s.year; ++y) any_data = any_data || t.has_data(y);
  if (!any_data) {
    return why + "; " + window_text(t, IYS, s.year) + (IYS == s.year ? " has" : " have") +
           " no data (--first-year sets another start)";
  }
  std::string hint = "a lower --min-share (now " + number_text(min_share) + ")";
  if (s.retained >= 2) {
    hint += " or -g " + std::to_string(s.retained - 1) + " or lower (now " + std::to_string(level) +
            ")";
  }
  return why + "; " + hint + " would change it";
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
  std::string title;            // the title written
};

Plan plan_of(const Trial& t, const ClassifyOptions& o, std::vector<std::string>& warnings) {
  if (!(o.min_share > 0.0 && o.min_share <= 1.0)) {
    throw InputError("--min-share", 0,
                     "the share " + number_text(o.min_share) + " must lie above 0 and at most 1");
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
  p.title = title_of(o, warnings);
  return p;
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

}  // namespace

ClassifyResult classify(const Trial& t, const ClassifyOptions& o) {
  ClassifyResult res;
  const Plan plan = plan_of(t, o, res.warnings);
  const std::int32_t IYS = plan.IYS, level = plan.level;
  res.IYS = IYS;
  res.level = level;

  Retention retention(t.MAXL);
  PairSums pairs(t.MAXY);
  std::vector<std::vector<float>> prepared(static_cast<std::size_t>(t.MAXY));  // centred years
  std::vector<std::int32_t> retained;  // the retained locations of a step
  std::string blocks;
  for (std::int32_t k = 1; k <= plan.last_asked - IYS + 1; ++k) {
    const std::int32_t y = IYS + k - 1;
    if (t.has_data(y)) {
      retention.add_year(t.presence(y), o.min_share);
      std::vector<float>& v = prepared[static_cast<std::size_t>(y - 1)];
      v = t.years[static_cast<std::size_t>(y - 1)].values;
      if (const std::optional<NonFinite> bad =
              prepare_year(Mat<float>(v.data(), t.MAXL, t.MAXG), t.presence(y), o.standardized)) {
        const auto at = [](const std::vector<Name8>& names, std::int32_t n) {
          return names[static_cast<std::size_t>(n - 1)];
        };
        throw InputError(
            t.seq_name, 0,
            non_finite_message(*bad, y, at(t.YearNames, y), at(t.LocationNames, bad->location),
                               at(t.GenotypeNames, bad->genotype), t.MAXL));
      }
    } else {
      res.warnings.push_back(year_text(t, y) + " has no data; it is skipped in the retention test");
    }
    const std::vector<std::int32_t> entries = retention.entries();
    StepCounts s = count_entries(k, y, entries, retained);
    if (!(s.retained > level && s.eliminated <= t.MAXL - level)) {
      const std::string why = cannot_cut(t, s, level, o.min_share, IYS);
      if (k == 1) throw InputError(t.seq_name, 0, "no step of the sequence can be cut: " + why);
      res.stopped = s;
      res.warnings.push_back("the sequence ends at step " + std::to_string(k - 1) + " (" +
                             year_text(t, y - 1) + "): " + why);
      break;
    }
    if (2 * s.retained - 1 > kLargestI4) {
      throw InputError(t.seq_name, 0,
                       "step " + std::to_string(k) + " retains " + std::to_string(s.retained) +
                           " locations; the hierarchy records hold labels of four digits, so at "
                           "most 5000");
    }
    const auto n = static_cast<std::size_t>(s.retained);
    std::vector<double> d(n * n, 0.0);
    for (std::int32_t w = IYS; w <= y; ++w) {
      if (!t.has_data(w)) continue;
      const std::vector<float>& v = prepared[static_cast<std::size_t>(w - 1)];
      s.shared_cells +=
          pairs.add_year(w, retained, Mat<const float>(v.data(), t.MAXL, t.MAXG), t.presence(w), d);
    }
    if (s.shared_cells == 0) {
      throw InputError(t.seq_name, 0,
                       "step " + std::to_string(k) + " (" + window_text(t, IYS, y) + "): its " +
                           std::to_string(s.retained) +
                           " retained locations share no cell (no genotype has a value at all of "
                           "them in any year of the window)");
    }
    const std::vector<Fusion> fusions = ward_hierarchy(s.retained, std::move(d));
    for (const Fusion& f : fusions) {
      if (!(f.level <= static_cast<double>(std::numeric_limits<float>::max()))) {
        // Labels up to n are the retained locations, in ascending order.
        const auto joined = [&](std::int32_t label) {
          if (label > s.retained) return "group " + std::to_string(label);
          const std::int32_t u = retained[static_cast<std::size_t>(label - 1)];
          const std::string name = trimmed(std::string_view(
              t.LocationNames[static_cast<std::size_t>(u - 1)].data(), sizeof(Name8)));
          return "location " + std::to_string(u) + (name.empty() ? "" : " (" + name + ")");
        };
        throw InputError(t.seq_name, 0,
                         "step " + std::to_string(k) + " (" + window_text(t, IYS, y) +
                             "): joining " + joined(f.gi) + " and " + joined(f.gj) +
                             " gives a fusion level of " + number_text(f.level) +
                             ", beyond the single precision a run reads; " +
                             largest_value_text(t, IYS, y));
      }
    }
    write_cls_block(blocks, k, t.YearNames[static_cast<std::size_t>(y - 1)], s.retained, entries,
                    fusions);
    res.steps.push_back(s);
  }
  res.IYF = IYS + static_cast<std::int32_t>(res.steps.size()) - 1;
  if (res.IYF > kLargestI4) {
    throw InputError(t.seq_name, 0,
                     "the sequence ends in year " + std::to_string(res.IYF) +
                         ", beyond the four columns of the sequence-years record");
  }
  write_cls_head(res.cls, {t.MAXY, t.MAXL, t.MAXG, IYS, res.IYF, plan.title, o.standardized});
  res.cls += blocks;
  return res;
}

}  // namespace locseq::classify
