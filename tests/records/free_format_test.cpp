// Free-format input: what each read accepts and refuses.
#include "records/free_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "console/console.h"
#include "formats/seq.h"
#include "support/memory_files.h"

namespace locseq::records {
namespace {

using locseq::testing::ConsoleIn;
using locseq::testing::fails_at;
using locseq::testing::InFile;
using locseq::testing::OutFile;

// The reads: integers from .CLS (the head, retained counts, elimination
// vectors: repeat counts allowed), integers by the plain rules, the typed
// truncation level (on the console, after the answer N; repeat counts
// allowed), and one line of .SEQ (three integers and a real; no repeat
// counts).
enum Read { kCls, kPlain, kTyped, kSeq };

// Every error names the place of the value.
constexpr const char* kPlace[] = {"the values", "the values", "the truncation level",
                                  "of the observation"};

struct Case {
  Read read;
  std::string text;
  std::vector<double> values;  // as read; for an error, as many as are wanted
  long line = 0;               // the line of the error; 0 for none
  const char* words = "";      // key words of its message
};

Case ok(Read r, std::string text, std::vector<double> values) {
  return {r, std::move(text), std::move(values)};
}
Case bad(Read r, std::string text, std::size_t wanted, long line, const char* words) {
  return {r, std::move(text), std::vector<double>(wanted), line, words};
}

// One line of .SEQ, by the full parser (the year reader's tests check its
// short cut against it).
std::vector<double> seq_line(InFile& f) {
  std::string_view line;
  f.reader.next(line);
  formats::seq::Observation o;
  EXPECT_EQ(formats::seq::parse_line(line, o, f.reader), formats::seq::Line::Record);
  return {double(o.year), double(o.location), double(o.genotype), double(o.value)};
}

// Reads c.values.size() values by the read of `c`; `next` is the record
// that follows the read.
std::vector<double> read(const Case& c, std::string& next) {
  std::vector<std::int32_t> v(c.values.size());
  if (c.read == kTyped) {
    ConsoleIn console(c.text);
    OutFile screen("standard output");
    DialogueQuestions q(console.reader, screen.unit);
    const std::optional<std::int32_t> level = q.truncation_level();
    std::string_view rec;
    next = console.reader.next(rec) ? rec : "<end>";
    return {level ? static_cast<double>(*level) : std::nan("")};
  }
  InFile f(c.text, "JOB.CLS", 16);
  if (c.read == kSeq) return seq_line(f);
  read_free_integers(f.reader, v, "the values", {.repeat_counts = c.read == kCls});
  next = f.next();
  return {v.begin(), v.end()};
}

TEST(FreeFormat, WhatEachReadAcceptsAndRefuses) {
  const double kMax = INT32_MAX, kMin = INT32_MIN;
  const Case cases[] = {
      // Separators: blanks, tabs, one comma, line ends; the rest of the
      // record of the last value is skipped.
      ok(kCls, "1 2 3 4 5\nnext", {1, 2, 3, 4, 5}),
      ok(kCls, "1\n\n2,3\n  \n 4\t5 6 7\nnext", {1, 2, 3, 4, 5}),
      ok(kCls, "1,2,\nnext", {1, 2}),
      ok(kCls, "1 , 2\r\nnext", {1, 2}),
      ok(kCls, "1\n,2\nnext", {1, 2}),  // a comma after a line end separates
      ok(kCls, "1,\n2\nnext", {1, 2}),
      ok(kCls, "007 -3 +4\nnext", {7, -3, 4}),
      ok(kCls, "2147483647 -2147483648\nnext", {kMax, kMin}),
      ok(kCls, "3*1 2\nnext", {1, 1, 1, 2}),
      ok(kCls, "2*7,3*-1 9\nnext", {7, 7, -1, -1}),
      ok(kTyped, "N\n3*7\nnext", {7}),
      ok(kTyped, "N\n\n +4, 5\nnext", {4}),
      ok(kPlain, "1\t2\nnext", {1, 2}),
      ok(kSeq, "1 2 3 4.5", {1, 2, 3, 4.5}),
      ok(kSeq, " +1, -2 ,3\t-4.5e1 tail, 9", {1, -2, 3, -45}),
      ok(kSeq, "01 2 003 4.5/x", {1, 2, 3, 4.5}),  // nothing after the value is read
      ok(kSeq, "-2147483648 2147483647 0 1.5D2", {kMin, kMax, 0, 150}),
      // Empty values, slashes, text, 32-bit limits.
      bad(kCls, ",1", 1, 1, "empty value"),
      bad(kCls, "1,,2", 2, 1, "empty value"),
      bad(kCls, "1, ,2", 2, 1, "empty value"),
      bad(kCls, "1,\n,2", 2, 2, "empty value"),
      bad(kCls, "1\n2/3", 3, 2, "'/' is not accepted"),
      bad(kCls, "1 x", 2, 1, "expected an integer in the values (2 values, 1 read), found 'x'"),
      bad(kCls, "\n1.5", 1, 2, "expected an integer"),
      bad(kCls, "1 2 3e0", 3, 1, "expected an integer"),
      bad(kCls, "2147483648", 1, 1, "beyond 32 bits"),
      bad(kCls, "-2147483649", 1, 1, "beyond 32 bits"),
      bad(kSeq, ",1 2 3 4", 4, 1, "empty value"),
      bad(kSeq, "1,,2 3 4", 4, 1, "empty value"),
      bad(kSeq, "1 2 3 /", 4, 1, "'/' is not accepted"),
      bad(kSeq, "1 2x 3 4", 4, 1, "expected an integer in the location (field 2)"),
      bad(kSeq, "1 2 3 abc", 4, 1, "expected a number in the value (field 4)"),
      bad(kSeq, "2147483648 1 1 1", 4, 1, "beyond 32 bits"),
      bad(kSeq, "1 2 3 1e39", 4, 1, "beyond single precision"),
      bad(kTyped, "N\nx", 1, 2, "expected an integer"),
      // Repeat counts: only where the read allows them, and well formed.
      bad(kPlain, "3*1 2", 2, 1,
          "expected an integer in the values (2 values, 0 read), found '3*1'"),
      bad(kSeq, "3*1 2 3 4", 4, 1, "expected an integer in the year (field 1)"),
      bad(kSeq, "1 2 3 2*4.5", 4, 1, "expected a number"),
      bad(kCls, "3* 1", 2, 1, "empty value after a repeat count"),
      bad(kCls, "2*x", 2, 1, "expected an integer"),
      bad(kTyped, "N\n1*", 1, 2, "empty value after a repeat count"),
      bad(kTyped, "N\n*1", 1, 2, "expected a repeat count"),
      bad(kCls, "x*1", 2, 1, "expected a repeat count"),
      bad(kCls, "0*1 2", 2, 1, "expected a repeat count"),
      bad(kCls, "-2*1", 2, 1, "expected a repeat count"),
      bad(kCls, "+2*1", 2, 1, "expected a repeat count"),
      // The end of the stream before the last value.
      bad(kCls, "", 1, 1, "the file ends inside the values"),
      bad(kCls, "1 2\n", 3, 2, "the file ends inside the values (3 values, 2 read)"),
      bad(kCls, "\n\n5", 2, 4, "the file ends inside"),
      bad(kTyped, "N\n", 1, 2, "end of console input at the truncation level"),
  };
  for (const Case& c : cases) {
    std::string next;
    auto run = [&] { return read(c, next); };
    if (c.line == 0) {
      EXPECT_EQ(run(), c.values) << c.text;
      if (c.read != kSeq) {
        EXPECT_EQ(next, "next") << c.text;
      }
    } else {
      EXPECT_TRUE(fails_at(run, c.line, c.words)) << c.text;
      EXPECT_TRUE(fails_at(run, c.line, kPlace[c.read])) << c.text;
    }
  }
}

}  // namespace
}  // namespace locseq::records
