#include "records/layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "records/record_writer.h"

namespace locseq::records {
namespace {

// A layout parsed at compile time: a bad string here would fail the build.
constexpr Layout kMeanRow("(I7,(T8,10G10.2))");

TEST(Layout, ParsesItemsGroupsAndTheResumptionPoint) {
  ASSERT_EQ(kMeanRow.size(), 7);  // ( I7 ( T8 10G10.2 ) )
  EXPECT_EQ(kMeanRow[1].op, Op::Integer);
  EXPECT_EQ(kMeanRow[1].width, 7);
  EXPECT_EQ(kMeanRow[2].op, Op::Open);
  EXPECT_EQ(kMeanRow[2].link, 5);
  EXPECT_EQ(kMeanRow[5].link, 2);
  EXPECT_EQ(kMeanRow[3].op, Op::Column);
  EXPECT_EQ(kMeanRow[3].width, 8);
  const Item& g = kMeanRow[4];
  EXPECT_EQ(g.op, Op::General);
  EXPECT_EQ(g.repeat, 10);
  EXPECT_EQ(g.width, 10);
  EXPECT_EQ(g.decimals, 2);
  EXPECT_EQ(kMeanRow.resume_at(), 2);
  EXPECT_EQ(Layout("(1X,10A8)").resume_at(), 1);  // no group: the start
  // The last group closed at the top level, not an inner one.
  EXPECT_EQ(Layout("(2(I1,(I2)),I3,3(I4),I5)").resume_at(), 8);

  constexpr Layout lit("(3X,'It''s',$)");
  EXPECT_EQ(lit.literal(lit[2]), "It''s");
  EXPECT_TRUE(lit.no_advance());
  EXPECT_FALSE(kMeanRow.no_advance());
}

TEST(Layout, BadLayoutsThrow) {
  std::string too_many = "(";
  for (int i = 0; i < Layout::kMaxItems - 1; ++i) too_many += "I1,";
  too_many.back() = ')';  // 39 items inside and the two parentheses: 41
  for (const std::string& bad : std::initializer_list<std::string>{
           "",        "I4",      "  I4",    "(I4",    "(I4))", "(I4)x",
           "(I4 I4)", "('ab')(", "(I0)",    "(I)",    "(F10)", "(F10.)",
           "(F4.4)",  "(E10.0)", "(G10.0)", "(0I4)",  "(0X)",  "(2T5)",
           "(T0)",    "(T)",     "(Q4)",    "('abc)", "(2)",   "(((((((((I1)))))))))",
           too_many}) {
    EXPECT_THROW(Layout{bad}, std::invalid_argument) << bad;
  }
  too_many.erase(1, 3);  // 40 items: still a layout
  EXPECT_NO_THROW(Layout{too_many});
  EXPECT_EQ(format(Layout("((((((((I1))))))))"), {1, 2}), "1\n2\n");  // eight deep
  EXPECT_NO_THROW(Layout(" ( I4 , 2X , F10.0 ) "));
}

struct Case {
  const char* layout;
  std::vector<Value> values;
  std::string expected;
};

void check(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    EXPECT_EQ(format(Layout(c.layout), std::span<const Value>(c.values)), c.expected) << c.layout;
  }
}

TEST(Format, EveryItem) {
  check({
      {"(A)", {"Hello"}, "Hello\n"},
      {"(A8)", {"ab"}, "      ab\n"},  // right-aligned in w
      {"(A3)", {"abcdef"}, "abc\n"},   // the first w characters
      {"(I4)", {42}, "  42\n"},
      {"(I4)", {-7}, "  -7\n"},
      {"(I6)", {1000000}, "******\n"},
      {"(I8)", {1000000}, " 1000000\n"},
      {"(I3)", {-100}, "***\n"},
      {"(F10.2)", {-0.5}, "     -0.50\n"},
      {"(F4.2)", {0.5}, "0.50\n"},
      {"(F3.2)", {0.5}, ".50\n"},  // the 0 gives way before the field overflows
      {"(F3.2)", {-0.5}, "***\n"},
      {"(F5.0)", {3.0}, "   3.\n"},
      {"(3X,I2)", {42}, "   42\n"},
      {"(I2,3X)", {42}, "42\n"},  // trailing X and T do not extend a record
      {"(I2,T10)", {42}, "42\n"},
      {"(T5,I2)", {42}, "    42\n"},
      {"(T5,I2,T1,I2)", {1, 2}, " 2   1\n"},  // T backwards overwrites
      {"(I1,/,I1)", {1, 2}, "1\n2\n"},
      {"(I1,/)", {1}, "1\n\n"},
      {"(/)", {}, "\n\n"},
      {"()", {}, "\n"},
      {"(A,$)", {"Prompt :"}, "Prompt :"},
      {"('It''s',I2,'''')", {5}, "It's 5'\n"},
      {"(3I2)", {1, 2, 3}, " 1 2 3\n"},
      {"(2(I2,'|'))", {1, 2}, " 1| 2|\n"},
      {"(2(I2,'|'),' end')", {1}, " 1|\n"},  // stops at a data item without a value
      {"(I2,' end')", {1}, " 1 end\n"},      // texts after the last value are written
      {"(3I2)", {1, 2, 3, 4}, " 1 2 3\n 4\n"},
  });
}

std::string times(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

TEST(Format, ResumesAtTheLastGroupOrAtTheStart) {
  std::vector<Value> v{5};
  for (int i = 0; i < 12; ++i) v.emplace_back(0.5);
  // The second record starts at column 8 with the two values left.
  EXPECT_EQ(format(kMeanRow, v), "      5" + times("  0.50    ", 10) + "\n" + std::string(7, ' ') +
                                     times("  0.50    ", 2) + "\n");

  std::vector<Value> labels(12, Value(3));
  EXPECT_EQ(format(Layout("(T8,10I10)"), labels), std::string(7, ' ') + times("         3", 10) +
                                                      "\n" + std::string(7, ' ') +
                                                      times("         3", 2) + "\n");

  std::vector<Value> names;
  std::vector<std::string> keep;
  for (int i = 1; i <= 11; ++i) keep.push_back("LOC" + std::to_string(10000 + i));
  for (const std::string& n : keep) names.emplace_back(std::string_view(n));
  std::string first = " ";
  for (int i = 0; i < 10; ++i) first += keep[static_cast<std::size_t>(i)];
  EXPECT_EQ(format(Layout("(1X,10A8)"), names), first + "\n LOC10011\n");

  std::vector<Value> members{4, 25, 0};
  for (int m = 1; m <= 25; ++m) members.emplace_back(m);
  std::string line1 = "   4  25   0";
  for (int m = 1; m <= 20; ++m) line1 += integer_field(m, 4);
  EXPECT_EQ(format(Layout("(3I4,(T13,20I4))"), members),
            line1 + "\n" + std::string(12, ' ') + "  21  22  23  24  25\n");

  // A group after a '/' : the second record's text is not repeated.
  constexpr Layout members_of("(3X,'Number of new members',I6,/,5X,'They are',(T15,10A8))");
  std::vector<Value> twelve{12};
  for (int i = 0; i < 12; ++i) twelve.emplace_back("N");
  EXPECT_EQ(format(members_of, twelve), "   Number of new members    12\n     They are " +
                                            times("       N", 10) + "\n" + std::string(14, ' ') +
                                            times("       N", 2) + "\n");
  EXPECT_EQ(format(members_of, {0}), "   Number of new members     0\n     They are\n");
}

TEST(Format, MisuseIsALogicError) {
  EXPECT_THROW(format(Layout("(I4)"), {"text"}), std::logic_error);
  EXPECT_THROW(format(Layout("(F4.1)"), {1}), std::logic_error);
  EXPECT_THROW(format(Layout("(A)"), {1.5}), std::logic_error);
  EXPECT_THROW(format(Layout("('no data')"), {1}), std::logic_error);
  EXPECT_THROW(format(Layout("(I1,('x'))"), {1, 2}), std::logic_error);
}

TEST(Format, ExponentForm) {
  check({
      {"(E10.3)", {1234.5}, " 0.123E+04\n"},
      {"(E10.3)", {-0.5}, "-0.500E+00\n"},
      {"(E10.3)", {0.0}, " 0.000E+00\n"},
      {"(E10.3)", {9999.6}, " 0.100E+05\n"},  // the rounding carries into the exponent
      {"(E10.3)", {1e-5}, " 0.100E-04\n"},
      {"(E10.3)", {0.1235}, " 0.123E+00\n"},   // 0.1235 is stored just below: no tie
      {"(E12.3)", {1e100}, "   0.100+101\n"},  // three exponent digits take the E's place
      {"(E9.3)", {-0.5}, "-.500E+00\n"},
      {"(E8.3)", {-0.5}, "********\n"},
  });
}

TEST(Format, FixedFormRoundsTheExactBinaryValue) {
  check({
      {"(F10.2)", {0.8}, "      0.80\n"},
      {"(F10.2)", {0.125}, "      0.12\n"},  // exact ties go to even
      {"(F10.2)", {0.375}, "      0.38\n"},
      {"(F10.2)", {1.005}, "      1.00\n"},  // stored below 1.005
      // A single-precision value is widened exactly: 2.0005f is 2.000499963...
      {"(F10.3)", {2.0005f}, "     2.000\n"},
      {"(F10.3)", {2.0005}, "     2.001\n"},
      {"(F10.3)", {123456.0f}, "123456.000\n"},
      {"(F10.3)", {1234567.0f}, "**********\n"},
  });
}

TEST(Format, GeneralForm) {
  check({
      {"(G10.2)", {0.5}, "  0.50    \n"},
      {"(G10.2)", {2.345}, "   2.3    \n"},
      {"(G10.2)", {45.6}, "   46.    \n"},
      {"(G10.2)", {0.0}, "   0.0    \n"},
      {"(G10.2)", {123.4}, "  0.12E+03\n"},
      {"(G10.2)", {0.05}, "  0.50E-01\n"},
      {"(G10.2)", {-0.5}, " -0.50    \n"},
      {"(G10.2)", {-123.4}, " -0.12E+03\n"},
      {"(G10.3)", {0.0}, "  0.00    \n"},
      {"(G10.2)", {0.995f}, "   1.0    \n"},  // the float lies above 0.995
  });
}

// The field with a minus in the blank before its first character.
std::string negated(std::string s) {
  s[s.find_first_not_of(' ') - 1] = '-';
  return s;
}

TEST(Format, GeneralFormBoundaries) {
  const double inf = std::numeric_limits<double>::infinity();
  struct Edge {
    double v;
    const char* expected;
  };
  // 0.0995 is stored just above the decimal boundary, 0.995 and 9.95 just
  // below it, 99.5 exactly.
  const Edge edges[] = {
      {std::nextafter(0.0995, 0.0), "  0.99E-01"},
      {0.0995, "  0.10    "},
      {std::nextafter(0.0995, inf), "  0.10    "},
      {std::nextafter(0.995, 0.0), "  0.99    "},
      {0.995, "  0.99    "},
      {std::nextafter(0.995, inf), "   1.0    "},
      {std::nextafter(9.95, 0.0), "   9.9    "},
      {9.95, "   9.9    "},
      {std::nextafter(9.95, inf), "   10.    "},
      {std::nextafter(99.5, 0.0), "   99.    "},
      {99.5, "  0.10E+03"},
      {std::nextafter(99.5, inf), "  0.10E+03"},
  };
  for (const Edge& e : edges) {
    EXPECT_EQ(general_field(e.v, 10, 2), e.expected) << e.v;
    EXPECT_EQ(general_field(-e.v, 10, 2), negated(e.expected)) << -e.v;
  }
}

TEST(Format, FieldFunctions) {
  EXPECT_EQ(integer_field(-42, 5), "  -42");
  EXPECT_EQ(integer_field(std::numeric_limits<std::int64_t>::min(), 20), "-9223372036854775808");
  EXPECT_EQ(integer_field(12345, 4), "****");
  EXPECT_EQ(fixed_field(1e300, 10, 2), "**********");
  EXPECT_EQ(exponent_field(-1e-300, 10, 3), "-0.100-299");
  EXPECT_EQ(general_field(1e10, 10, 2), "  0.10E+11");
  // Values that are not numbers keep the width of their field.
  for (double v : {std::nan(""), std::numeric_limits<double>::infinity(),
                   -std::numeric_limits<double>::infinity()}) {
    EXPECT_EQ(fixed_field(v, 10, 2).size(), 10u);
    EXPECT_EQ(exponent_field(v, 4, 1).size(), 4u);
    EXPECT_EQ(general_field(v, 10, 2).size(), 10u);
  }
}

TEST(Format, ZeroHasNoSignAndNarrowGeneralFieldsTakeTheExponentForm) {
  EXPECT_EQ(exponent_field(-0.0, 10, 3), " 0.000E+00");
  EXPECT_EQ(fixed_field(-0.0, 6, 2), "  0.00");
  EXPECT_EQ(fixed_field(-0.004, 6, 2), " -0.00");  // a negative value keeps its sign
  EXPECT_EQ(general_field(0.5, 4, 1), "****");
  EXPECT_EQ(format(Layout("(G3.1)"), {0.5}), "***\n");
  EXPECT_EQ(general_field(0.5, 9, 1), "  0.5    ");
}

TEST(Format, TheProgramsRecords) {
  check({
      {"(2(I7,3X),3E10.3,F10.2)",
       {1, 7, 1234.5, 0.0, -0.5, 0.8},
       "      1         7    0.123E+04 0.000E+00-0.500E+00      0.80\n"},
      {"(20X,3E10.3,F10.2)",
       {1.0, 2.0, 3.0, 0.25},
       std::string(20, ' ') + " 0.100E+01 0.200E+01 0.300E+01      0.25\n"},
      {"(3X,I4,1X,'+',I4,1X,'=',I4,1X,F10.3)",
       {12, 3, 14, 0.5f},
       "     12 +   3 =  14      0.500\n"},
      {"(/,' DIMENSIONS OF ARRAYS:',/,' PRESENT DIMENSIONS:  DZ=',I6,' Z=',I6,' MZ=',I6,' AZ=',"
       "I6,/,' DIMENSIONS REQUIRED: DZ=',I6,' Z=',I6,' MZ=',I6,' AZ=',I6)",
       {10000, 300000, 400000, 5000, 5117, 318001, 331460, 1905},
       "\n DIMENSIONS OF ARRAYS:\n PRESENT DIMENSIONS:  DZ= 10000 Z=300000 MZ=400000 AZ=  5000\n"
       " DIMENSIONS REQUIRED: DZ=  5117 Z=318001 MZ=331460 AZ=  1905\n"},
      {"(' INCREASE DIMENSION OF Z ARRAY TO',I8)",
       {318001},
       " INCREASE DIMENSION OF Z ARRAY TO  318001\n"},
      {"(' Sequence starts in year ',I3,' & finishes in year ',I3)",
       {1, 12},
       " Sequence starts in year   1 & finishes in year  12\n"},
      {"(A,I6)",
       {" Truncation level (Square root rule)              (NGP) = ", 10},
       " Truncation level (Square root rule)              (NGP) =     10\n"},
      {"(10I6)", {1, 2}, "     1     2\n"},
      {"(' Group',T10,I4)", {3}, " Group      3\n"},
      {"(/,'   For year ',A8,' in SED sequence for year',I4)",
       {"1997", 2},
       "\n   For year     1997 in SED sequence for year   2\n"},
  });
}

}  // namespace
}  // namespace locseq::records
