// A made-up run for the page's tests and the browser check: 16 locations of
// four kinds over six steps, clustered by Ward's method on made-up
// coordinates. Step 2's records after the cut are not a hierarchy, step 5's
// fusion levels decrease along a join, step 4 has an undefined RSQj and step
// 5 an eliminated location that shares no cell with any group. One location
// changes kind from step 3 on.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "core/results.h"
#include "report/page.h"

namespace locseq::report::sample {

inline constexpr std::int32_t kLocations = 16;
inline constexpr std::int32_t kSteps = 6;
inline constexpr std::int32_t kGroups = 4;

// A made-up run and what the page adds to it.
struct Job {
  RunHead head;
  std::vector<BlockResult> blocks;
  PageJob page;
};

inline Name8 name8(std::string_view text) {
  Name8 n;
  n.fill(' ');
  std::memcpy(n.data(), text.data(), std::min<std::size_t>(text.size(), 8));
  return n;
}

// Ward's method on points of the plane: n - 1 records joining labels 1..n.
inline std::vector<HierarchyRecord> ward(const std::vector<std::array<double, 2>>& points) {
  const auto n = static_cast<std::int32_t>(points.size());
  struct Cluster {
    std::int32_t label;
    double size, x, y;
  };
  std::vector<Cluster> live;
  for (std::int32_t t = 0; t < n; ++t) live.push_back({t + 1, 1, points[t][0], points[t][1]});
  std::vector<HierarchyRecord> out;
  for (std::int32_t r = 1; r < n; ++r) {
    std::size_t bi = 0, bj = 1;
    double best = std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < live.size(); ++i) {
      for (std::size_t j = i + 1; j < live.size(); ++j) {
        const Cluster &a = live[i], &b = live[j];
        const double d = a.size * b.size / (a.size + b.size) *
                         ((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y));
        if (d < best) best = d, bi = i, bj = j;
      }
    }
    const Cluster a = live[bi], b = live[bj];
    out.push_back({a.label, b.label, n + r, static_cast<float>(best)});
    const double s = a.size + b.size;
    live.erase(live.begin() + static_cast<long>(bj));
    live[bi] = {n + r, s, (a.x * a.size + b.x * b.size) / s, (a.y * a.size + b.y * b.size) / s};
  }
  return out;
}

// The groups the first `applied` records leave: untouched leaves in label
// order, then the formed groups in record order; each with its label and
// its leaves.
inline std::vector<std::pair<std::int32_t, std::vector<std::int32_t>>> cut(
    std::int32_t n, const std::vector<HierarchyRecord>& records, std::int32_t applied) {
  std::vector<std::vector<std::int32_t>> leaves(static_cast<std::size_t>(2 * n));
  std::vector<char> live(static_cast<std::size_t>(2 * n), 0);
  for (std::int32_t t = 1; t <= n; ++t) leaves[t] = {t}, live[t] = 1;
  for (std::int32_t r = 1; r <= applied; ++r) {
    const HierarchyRecord& rec = records[static_cast<std::size_t>(r - 1)];
    auto& joined = leaves[static_cast<std::size_t>(n + r)];
    joined = leaves[rec.Gpj];
    joined.insert(joined.end(), leaves[rec.Gpi].begin(), leaves[rec.Gpi].end());
    live[rec.Gpi] = live[rec.Gpj] = 0;
    live[static_cast<std::size_t>(n + r)] = 1;
  }
  std::vector<std::pair<std::int32_t, std::vector<std::int32_t>>> out;
  for (std::int32_t label = 1; label < 2 * n; ++label) {
    if (live[label]) out.emplace_back(label, leaves[label]);
  }
  return out;
}

// The made-up run. `hostile` gives every text of the job markup, quotes,
// ampersands, non-ASCII letters and invalid UTF-8; the structure stays the
// same, so the two pages differ in their texts only.
inline Job make_job(bool hostile) {
  Job job;
  RunHead& h = job.head;
  h.parameters = {kSteps, kLocations, 10, 1, kSteps, kSteps, kLocations * (kLocations + 1) / 2,
                  kGroups};
  h.JobTitle = hostile ? "<i>Trial</i> <script>alert('t')</script> & \"co\"   "
                       : "Barley yield trial, 16 sites, 2019-2024            ";
  h.options = {'U', hostile ? '<' : 'S', hostile ? '&' : 'C', hostile ? '"' : 'N'};
  h.IYS = 1;
  h.IYF = kSteps;
  const std::array<const char*, kLocations> plain = {
      "ALDER",    "BIRCH",   "CEDAR",   "DOGWOOD", "ELM",   "FIR",    "GINKGO", "HAZEL",
      "IRONWOOD", "JUNIPER", "KATSURA", "LARCH",   "MAPLE", "NUTMEG", "OAK",    "PINE"};
  const std::array<const char*, kLocations> evil = {"<b>x</b>",
                                                    "<script>",
                                                    "\"quo'te",
                                                    "A&amp;B",
                                                    "Z\xC3\xBCrich",
                                                    "\xFF\xFE"
                                                    "BAD",
                                                    "\x01\x1B[31m",
                                                    "<i>",
                                                    "<img src",
                                                    "</td>",
                                                    "&lt;",
                                                    "a\"b'c",
                                                    "<!--",
                                                    "-->",
                                                    "]]>",
                                                    "<svg>"};
  for (std::int32_t y = 1; y <= kSteps; ++y) {
    h.YearNames.push_back(name8(hostile && y == 2 ? "<b>20</b" : std::to_string(2018 + y)));
  }
  for (std::int32_t l = 0; l < kLocations; ++l)
    h.LocationNames.push_back(name8((hostile ? evil : plain)[l]));
  for (std::int32_t g = 1; g <= 10; ++g) h.GenotypeNames.push_back(name8("G" + std::to_string(g)));

  job.page.name = hostile ? "<b>job</b>&" : "BARLEY";
  job.page.options = hostile ? "--tables '<out>' -g 4 & \"x\"" : "--tables out -g 4";
  job.page.inputs = {{hostile ? "<img src=x onerror=alert(1)>.CLS" : "BARLEY.CLS", 4211,
                      hostile ? "<b>2024</b>" : "2024-05-02 09:14:55 UTC"},
                     {hostile ? "a&b\"c'.NAQ" : "BARLEY.NAQ", 402, "2024-05-02 09:14:55 UTC"},
                     {hostile ? "\xC3\x28.SEQ" : "BARLEY.SEQ", 18802, "2024-05-02 09:14:55 UTC"}};
  job.page.location_names[2] = hostile ? "<script>alert(1)</script>" : "Birch Hollow";
  job.page.location_names[3] = hostile ? "Tom & Jerry's \"farm\" <b>bold</b>" : "Cedar Hill";
  job.page.location_names[9] = hostile ? "S\xC3\xA3o Paulo \xE2\x80\x93 \xFF bad" : "Iron Range";

  // Kinds of the locations: four of each, location 5 (ELM) moves from kind 1
  // to kind 2 at step 3.
  const auto kind = [](std::int32_t l, std::int32_t step) {
    if (l == 5 && step >= 3) return 2;
    return (l - 1) % 4;
  };
  const std::array<std::array<double, 2>, 4> centre = {{{0, 0}, {3, 0.5}, {0.5, 3}, {3.5, 3.5}}};
  const auto wobble = [](std::int32_t l, std::int32_t step, int axis) {
    return 0.45 * std::sin(1.7 * l + 2.3 * step + 0.9 * axis);
  };
  // Eliminated locations per step.
  const std::array<std::vector<std::int32_t>, kSteps> out = {
      {{3, 10}, {6, 12, 15}, {2}, {7, 11}, {4, 9, 13, 16}, {1, 8}}};

  for (std::int32_t k = 1; k <= kSteps; ++k) {
    BlockResult b;
    b.StepNumber = k;
    b.SequenceYear = k;
    b.SequenceYearName = hostile && k == 3 ? name8("<i>&\"'") : name8(std::to_string(2018 + k));
    b.first_year = 1;
    b.last_year = k;
    b.EliminationVector.assign(kLocations, 1);
    for (const std::int32_t l : out[k - 1]) b.EliminationVector[l - 1] = 0;
    std::vector<std::int32_t> retained;
    std::vector<std::array<double, 2>> points;
    for (std::int32_t l = 1; l <= kLocations; ++l) {
      if (b.EliminationVector[l - 1] != 1) continue;
      retained.push_back(l);
      const auto& c = centre[kind(l, k)];
      points.push_back({c[0] + wobble(l, k, 0), c[1] + wobble(l, k, 1)});
    }
    const auto n = static_cast<std::int32_t>(retained.size());
    b.RetainedCount = n;
    b.CutLevel = kGroups;
    b.hierarchy = ward(points);
    if (k == 5) std::swap(b.hierarchy[1].D, b.hierarchy[n - 3].D);  // levels decrease
    const auto applied = n - kGroups;
    for (const auto& [label, members] : cut(n, b.hierarchy, applied)) {
      Group g;
      g.label = label;
      for (const std::int32_t t : members) g.members.push_back(retained[t - 1]);
      b.groups.push_back(g);
    }
    if (k == 2) b.hierarchy[applied].Gpi = b.hierarchy[0].Gpi;  // already absorbed

    // Distances of the eliminated locations to the group centroids.
    for (const std::int32_t l : out[k - 1]) {
      EliminatedLocation el;
      el.location = l;
      const auto& c = centre[kind(l, k)];
      double best = std::numeric_limits<double>::infinity();
      for (std::size_t g = 0; g < b.groups.size(); ++g) {
        double x = 0, y = 0;
        for (const std::int32_t m : b.groups[g].members) {
          x += centre[kind(m, k)][0] + wobble(m, k, 0);
          y += centre[kind(m, k)][1] + wobble(m, k, 1);
        }
        const double size = static_cast<double>(b.groups[g].members.size());
        const double d =
            (x / size - c[0]) * (x / size - c[0]) + (y / size - c[1]) * (y / size - c[1]);
        const bool shares = !(k == 5 && l == 16);
        el.cells.push_back(shares ? 10 * k - static_cast<std::int32_t>(g) : 0);
        el.mean_sed.push_back(shares ? d + 0.05 : 0.0);
        if (shares && d < best) best = d, el.group = static_cast<std::int32_t>(g) + 1;
      }
      if (el.group) b.groups[static_cast<std::size_t>(el.group - 1)].allocated.push_back(l);
      b.eliminated.push_back(el);
    }

    // The fit: steady per year, a little lower with the allocated locations.
    for (std::size_t v = 0; v < 2; ++v) {
      FitSums total;
      for (std::int32_t y = 1; y <= k; ++y) {
        YearFit yf;
        yf.year = y;
        yf.LocMod = n + (v ? static_cast<std::int32_t>(out[k - 1].size()) : 0);
        const double rsq = 0.66 + 0.03 * std::sin(y * 1.3) + 0.02 * std::min(k, 4) -
                           0.015 * static_cast<double>(v) - (k == 5 ? 0.04 : 0.0);
        yf.sums.TSS = 40.0 + 3.0 * y + static_cast<double>(v) * 9.5;
        yf.sums.ESS = yf.sums.TSS * rsq;
        yf.sums.RSS = yf.sums.TSS - yf.sums.ESS;
        yf.sums.RSQ = rsq;
        yf.sums.rsq_defined = true;
        if (k == 4 && y == 2 && v == 1) yf.sums = FitSums{}, yf.LocMod = 0;
        total.TSS += yf.sums.TSS;
        total.ESS += yf.sums.ESS;
        total.RSS += yf.sums.RSS;
        b.fit[v].years.push_back(yf);
      }
      total.RSQ = total.ESS / total.TSS;
      total.rsq_defined = true;
      b.fit[v].overall = total;
    }
    job.blocks.push_back(std::move(b));
  }
  return job;
}

// The plain run with texts that would reorder what stands after them if
// the page did not isolate them: a right-to-left override (U+202E), a
// right-to-left isolate left open (U+2067), a stray end of isolate (U+2069)
// before an override, right-to-left marks (U+200F) and Hebrew letters, in
// the title, the job name, location, year and step names.
inline Job make_bidi_job() {
  constexpr const char* kRlo = "\xE2\x80\xAE";
  constexpr const char* kRli = "\xE2\x81\xA7";
  constexpr const char* kPdi = "\xE2\x81\xA9";
  constexpr const char* kRlm = "\xE2\x80\x8F";
  constexpr const char* kShalom = "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D";  // Hebrew letters
  Job job = make_job(false);
  const auto text = [](std::initializer_list<const char*> parts) {
    std::string out;
    for (const char* p : parts) out += p;
    return out;
  };
  job.head.JobTitle = text({kRlo, "Barley ", kRli, "trial ", kShalom, kRlm});
  job.page.name = text({kRlo, "BARLEY"});
  job.page.location_names[2] = text({kRlo, "Birch Hollow"});
  job.page.location_names[3] = text({kRli, "Cedar ", kShalom});
  job.page.location_names[9] = text({kPdi, kRlo, "Iron Range"});
  job.page.location_names[10] = text({"Juniper", kRlm});
  job.head.LocationNames[4] = name8(text({kRlo, "ELM"}));
  job.head.LocationNames[12] = name8(text({kRli, "MAPLE"}));
  job.head.YearNames[5] = name8(text({kRlo, "2024"}));
  job.blocks[5].SequenceYearName = name8(text({kRlo, "2024"}));
  job.blocks[2].SequenceYearName = name8(text({kRli, "2021"}));
  return job;
}

}  // namespace locseq::report::sample
