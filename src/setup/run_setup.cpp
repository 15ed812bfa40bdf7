#include "setup/run_setup.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "records/field_reader.h"
#include "sequence/year_sequence.h"
#include "setup/dialogue.h"

namespace locseq {

namespace {

using records::Layout;

// Non-negative 64-bit arithmetic that sticks at the largest value instead of
// wrapping.
std::int64_t add(std::int64_t a, std::int64_t b) {
  std::int64_t r = 0;
  return __builtin_add_overflow(a, b, &r) ? std::numeric_limits<std::int64_t>::max() : r;
}
std::int64_t mul(std::int64_t a, std::int64_t b) {
  std::int64_t r = 0;
  return __builtin_mul_overflow(a, b, &r) ? std::numeric_limits<std::int64_t>::max() : r;
}

constexpr Layout kSummaryRecord("(A,I6)");
constexpr Layout kSummaryValues("(10I6)");
constexpr std::array<const char*, 8> kSummaryLabels = {
    " Maximum number of years in data set             (MAXY) = ",
    " Maximum number of locations in data set         (MAXL) = ",
    " Maximum number of genotypes in data set         (MAXG) = ",
    " Year sequential analyses starts                  (IYS) = ",
    " Year sequential analyses finishes                (IYF) = ",
    " Number of years in analysis                      (NYA) = ",
    " Number of elements in LxL upper triagular matrix (NTM) = ",
    " Truncation level (Square root rule)              (NGP) = ",
};

constexpr std::array<Layout, 4> kIncrease = {
    Layout("(' INCREASE DIMENSION OF DZ ARRAY TO',I8)"),
    Layout("(' INCREASE DIMENSION OF Z ARRAY TO',I8)"),
    Layout("(' INCREASE DIMENSION OF MZ ARRAY TO',I8)"),
    Layout("(' INCREASE DIMENSION OF AZ ARRAY TO',I8)"),
};

constexpr Layout kDimensionTable(
    "(/,' DIMENSIONS OF ARRAYS:',/,' PRESENT DIMENSIONS:  DZ=',I6,' Z=',I6,' MZ=',I6,' AZ=',I6,/,"
    "' DIMENSIONS REQUIRED: DZ=',I6,' Z=',I6,' MZ=',I6,' AZ=',I6)");

void read_run_parameters(records::RecordReader& cls, RunParameters& p) {
  std::array<std::int32_t, 5> head{};
  records::read_free_integers(cls, head, "the run parameters (MAXY MAXL MAXG IYS IYF)");
  p.MAXY = head[0];
  p.MAXL = head[1];
  p.MAXG = head[2];
  p.IYS = head[3];
  p.IYF = head[4];
  const std::array<const char*, 3> names = {"MAXY", "MAXL", "MAXG"};
  for (std::size_t k = 0; k < names.size(); ++k) {
    if (head[k] < 1) {
      cls.fail(std::string(names[k]) + " must be at least 1, but the run parameters give " +
               std::to_string(head[k]));
    }
  }
  p.NYA = std::int64_t{p.IYF} - p.IYS + 1;
  p.NTM = std::int64_t{p.MAXL} * (std::int64_t{p.MAXL} + 1) / 2;
}

void settle_truncation_level(Units& u, RunParameters& p) {
  constexpr const char* kDefault = " Default truncation level (Y or N) :";
  prompt(u.console, kDefault);
  std::string answer = read_answer(u.console_in, 1, kDefault);
  if (answer == "y") answer = "Y";
  if (answer == "Y") {
    p.NGP = square_root_rule(p.MAXL);
    return;
  }
  prompt(u.console, "             Type truncation level :");
  std::array<std::int32_t, 1> ngp{};
  records::read_free_integers(u.console_in, ngp, "the truncation level");
  if (ngp[0] < 1 || ngp[0] > p.MAXL) {
    u.console_in.fail("the truncation level must lie between 1 and MAXL (" +
                      std::to_string(p.MAXL) + "), but " + std::to_string(ngp[0]) + " was typed");
  }
  p.NGP = ngp[0];
}

void write_summary(Units& u, const RunParameters& p) {
  const std::array<std::int64_t, 8> values = {p.MAXY, p.MAXL, p.MAXG, p.IYS,
                                              p.IYF,  p.NYA,  p.NTM,  p.NGP};
  for (std::size_t k = 0; k < values.size(); ++k) {
    u.sco.write(kSummaryRecord, {kSummaryLabels[k], values[k]});
  }
  const std::array<records::Value, 8> row = {values[0], values[1], values[2], values[3],
                                             values[4], values[5], values[6], values[7]};
  std::string record = records::format(kSummaryValues, row);
  u.cos.put(record);
  u.alc.put(record);
}

template <class T>
void clear(Area<T>& area, std::int64_t required, const T& blank) {
  std::fill_n(area.data(), required, blank);
}

}  // namespace

std::int32_t square_root_rule(std::int32_t maxl) {
  return static_cast<std::int32_t>(std::sqrt(static_cast<double>(maxl) - 0.5)) + 1;
}

std::array<std::int64_t, 4> required_sizes(const RunParameters& p) {
  const std::int64_t L = p.MAXL, G = p.MAXG, Y = p.MAXY, N = p.NGP;
  const std::int64_t V = mul(L - N, N);
  const std::int64_t LG = mul(L, G), NG = mul(N, G);
  return {
      add(add(V, mul(8, Y)), 1),
      add(add(LG, NG), 1),
      add(add(add(add(mul(11, L) - 2, LG), NG), mul(2, V)), mul(2, Y)),
      add(add(mul(3, L), Y), G),
  };
}

Arrays carve(WorkAreas& areas, const RunParameters& p) {
  const long L = p.MAXL, G = p.MAXG, Y = p.MAXY, N = p.NGP;
  // Each area is handed out from its start, the arrays one after the other.
  long dz = 0, z = 0, mz = 0, az = 0;
  auto dmat = [&](long rows, long cols) {
    Mat<double> m(areas.DZ.data() + dz, rows, cols);
    dz += rows * cols;
    return m;
  };
  auto zmat = [&](long rows, long cols) {
    Mat<float> m(areas.Z.data() + z, rows, cols);
    z += rows * cols;
    return m;
  };
  auto imat = [&](long rows, long cols) {
    Mat<std::int32_t> m(areas.MZ.data() + mz, rows, cols);
    mz += rows * cols;
    return m;
  };
  auto ivec = [&](long n) {
    Vec<std::int32_t> v(areas.MZ.data() + mz, n);
    mz += n;
    return v;
  };
  auto names = [&](long n) {
    Vec<Name8> v(areas.AZ.data() + az, n);
    az += n;
    return v;
  };
  Arrays a;
  a.SedSums = dmat(L - N, N);
  a.TSSj = dmat(Y, 2);
  a.ESSj = dmat(Y, 2);
  a.RSSj = dmat(Y, 2);
  a.RSQj = dmat(Y, 2);
  a.YearData = zmat(L, G);
  a.GroupMeans = zmat(N, G);
  a.GroupLabels = ivec(L);
  a.MZ2 = ivec(2 * L - 1);
  a.GroupSizes = ivec(L);
  a.GroupMemberList = ivec(L);
  a.MemberLocations = ivec(L);
  a.FusionPairs = imat(2, L - 1);
  a.EliminationVector = ivec(L);
  a.IncidenceMatrix = imat(L, G);
  a.GroupCounts = imat(N, G);
  a.SedCounts = imat(L - N, N);
  a.EliminatedLocations = ivec(L);
  a.AllocatedGroupSizes = ivec(L);
  a.MZ13 = imat(N, L - N);
  a.LocMod = imat(Y, 2);
  a.YearNames = names(Y);
  a.LocationNames = names(L);
  a.AZ3 = names(2 * L - 1);
  a.GenotypeNames = names(G);
  areas.enlarged_membership.assign(static_cast<std::size_t>(N * L), 0);
  a.AllocatedGroupMembers = Mat<std::int32_t>(areas.enlarged_membership.data(), N, L);
  return a;
}

void RunSetUp(WorkAreas& areas, Units& u) {
  RunParameters p;
  read_run_parameters(u.cls, p);
  settle_truncation_level(u, p);
  write_summary(u, p);

  const std::array<std::int64_t, 4> capacity = {WorkAreas::kDZ, WorkAreas::kZ, WorkAreas::kMZ,
                                                WorkAreas::kAZ};
  const std::array<std::int64_t, 4> required = required_sizes(p);
  bool refused = false;
  for (std::size_t k = 0; k < required.size(); ++k) {
    if (required[k] > capacity[k]) {
      u.console.write(kIncrease[k], {required[k]});
      refused = true;
    }
  }
  if (!refused) {
    clear(areas.DZ, required[0], 0.0);
    clear(areas.Z, required[1], 0.0f);
    clear(areas.MZ, required[2], 0);
    clear(areas.AZ, required[3], Name8{' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '});
  }
  to_console_and_sco(
      u, records::format(kDimensionTable, {capacity[0], capacity[1], capacity[2], capacity[3],
                                           required[0], required[1], required[2], required[3]}));
  if (refused) return;
  Arrays arrays = carve(areas, p);
  RunYearSequence(arrays, p, u);
}

}  // namespace locseq
