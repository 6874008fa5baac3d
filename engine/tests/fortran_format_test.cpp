#include "fortran_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <locale>

namespace pylar::engine {
namespace {

struct RealField {
  char kind;  // 'F' or 'E'
  int width;
  int decimals;
  Real value;
  const char* expected;
};

TEST(FixedWidthFields, RealFields) {
  const RealField cases[] = {
      // float(123456.7) = 123456.703125 -> one decimal 123456.7, one blank for the sign.
      {'F', 9, 1, 123456.7F, " 123456.7"},
      // float(1234567.8) = 1234567.75 -> 1234567.8 needs all nine places and
      // leaves none for the sign: asterisks.
      {'F', 9, 1, 1234567.8F, "*********"},
      {'F', 9, 1, -123456.7F, "-123456.7"},
      {'F', 10, 3, -2.5F, "    -2.500"},
      // 0.25 is exact: the tie rounds away from zero.
      {'F', 4, 1, 0.25F, " 0.3"},
      // 62.5 is exact: 63.
      {'F', 5, 0, 62.5F, "  63."},
      // float(0.1) = 0.100000001...: 0.10.
      {'F', 5, 2, 0.1F, " 0.10"},
      // -0.04 rounds to zero: no minus sign.
      {'F', 5, 1, -0.04F, "  0.0"},
      {'F', 6, 3, 0.5F, " 0.500"},
      // No room for the leading zero: dropped; no room at all: asterisks.
      {'F', 4, 2, 0.5F, " .50"},
      {'F', 3, 2, 0.5F, "***"},
      // 9.96 rounds up into a new digit: 10.0.
      {'F', 5, 1, 9.96F, " 10.0"},
      {'F', 8, 1, std::numeric_limits<Real>::quiet_NaN(), "     NaN"},
      // 1234.5 = 0.12345E+04 -> 0.123E+04.
      {'E', 10, 3, 1234.5F, " 0.123E+04"},
      {'E', 10, 3, -1234.5F, "-0.123E+04"},
      {'E', 10, 3, 0.0F, " 0.000E+00"},
      // 0.9996 -> 0.1000E+01 after the carry.
      {'E', 10, 3, 0.9996F, " 0.100E+01"},
      // float(1.2345e-4) = 1.23450002e-4 -> 0.123E-03.
      {'E', 10, 3, 1.2345e-4F, " 0.123E-03"},
      // 1e10 is exact in a float: 0.1000E+11, seven blanks in E17.4.
      {'E', 17, 4, 1.0e10F, "       0.1000E+11"},
      // E9.3 has no room for the leading zero.
      {'E', 9, 3, 1234.5F, " .123E+04"},
      {'E', 10, 3, 1.0e-30F, " 0.100E-29"},
  };
  for (const auto& c : cases) {
    std::string got = c.kind == 'F' ? formatF(c.width, c.decimals, c.value) : formatE(c.width, c.decimals, c.value);
    EXPECT_EQ(got, c.expected) << c.kind << c.width << "." << c.decimals << " of " << c.value;
  }
}

// A field that widens holds every value as a number: what fits is printed as
// the fixed field prints it, what does not takes the narrowest width with a
// blank before it, so that no field runs into the one before.
TEST(FixedWidthFields, WideningFieldsNeverFillWithAsterisks) {
  struct Case {
    int width;
    int decimals;
    Real value;
    const char* expected;
  };
  const Case cases[] = {
      {5, 2, 4.0F, " 4.00"},          // fits: as F5.2
      {5, 2, 10.0F, " 10.00"},        // F5.2 keeps a place for the sign: one wider
      {5, 0, 1000.0F, " 1000."},      // a length of 1000 ft in the most-efficient block
      {7, 2, 1166.4F, " 1166.40"},
      {9, 1, 1234567.8F, " 1234567.8"},  // the edge case of the report: nine asterisks in F9.1
      {9, 1, -1234567.8F, " -1234567.8"},
      {9, 1, 123456.7F, " 123456.7"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(formatFAtLeast(c.width, c.decimals, c.value), c.expected) << c.width << "." << c.decimals << " " << c.value;
    if (formatF(c.width, c.decimals, c.value).find('*') == std::string::npos) {
      EXPECT_EQ(formatFAtLeast(c.width, c.decimals, c.value), formatF(c.width, c.decimals, c.value));
    }
  }
  EXPECT_EQ(Line().text("=").fw(5, 2, 12.0F).text(" FT.").str(), "= 12.00 FT.");
}

// The digits of E and F fields come from 128-bit integer arithmetic; they
// must be those of the value's whole decimal expansion, rounded half away
// from zero, for every float: values spread over the whole range (ties and
// carries included: 0.99995 and 9.9995 round into a new digit), every width
// the engine writes and a few more.
TEST(FixedWidthFields, FieldsAgreeWithTheWholeExpansion) {
  std::vector<Real> values = {1.0F, 0.99995F, 9.9995F, 0.5F, 1.0e-38F, 3.4e38F, 1.17549435e-38F, 1.0e-45F,
                              123456789.0F, 1.5e-7F, 65536.0F, 0.125F, 0.05F, -0.04F, 99.95F, 0.0F, -0.0F};
  std::uint32_t bits = 0x9E3779B9U;
  for (int k = 0; k < 20000; ++k) {
    bits = bits * 1664525U + 1013904223U;  // every exponent and mantissa of a finite float
    if ((bits & 0x7F800000U) == 0x7F800000U) continue;  // infinity or NaN
    Real v = 0;
    std::memcpy(&v, &bits, sizeof v);
    values.push_back(v);
  }
  const std::pair<int, int> fields[] = {{10, 3}, {14, 7}, {15, 8}, {16, 4}, {17, 4}, {24, 4}, {9, 3}, {30, 20}};
  for (Real v : values)
    for (const auto& [width, decimals] : fields)
      ASSERT_EQ(formatE(width, decimals, v), formatEFromExpansion(width, decimals, v))
          << "E" << width << "." << decimals << " of " << v;
  // The same for F fields, whose digits come from the same arithmetic: the
  // widths and decimals the files use, a field too narrow for most values,
  // and no decimals at all.
  const std::pair<int, int> fixedFields[] = {{9, 1}, {9, 3}, {10, 2}, {7, 2}, {5, 0}, {4, 2}, {64, 3}, {80, 40}};
  for (Real v : values)
    for (const auto& [width, decimals] : fixedFields)
      ASSERT_EQ(formatF(width, decimals, v), formatFFromExpansion(width, decimals, v))
          << "F" << width << "." << decimals << " of " << v;
}

TEST(FixedWidthFields, IntegerFields) {
  struct Case {
    int width, minDigits;
    long long value;
    const char* expected;
  };
  const Case cases[] = {
      {5, 1, 42, "   42"}, {2, 1, 123, "**"},   {5, 1, -12, "  -12"}, {2, 2, 5, "05"},
      {4, 3, -7, "-007"},   {3, 0, 0, "   "},   {2, 2, 0, "00"},      {4, 1, 2024, "2024"},
      {2, 1, -5, "-5"},     {1, 1, -5, "*"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(formatI(c.width, c.minDigits, c.value), c.expected) << "I" << c.width << "." << c.minDigits;
}

TEST(FixedWidthFields, LineJoinsFieldsAndLiterals) {
  EXPECT_EQ(Line().x(5).text("NUMBER OF LAYERS =").i(5, 3).str(), "     NUMBER OF LAYERS =    3");
  EXPECT_EQ(Line().x(1).f(8, 1, 12.25F).x(1).e(10, 3, 1234.5F).str(), "     12.3  0.123E+04");
}

// A user locale with a decimal comma changes nothing in files.
struct DecimalComma : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
};
TEST(FixedWidthFields, IgnoreTheGlobalLocale) {
  std::locale saved = std::locale::global(std::locale(std::locale::classic(), new DecimalComma));
  EXPECT_EQ(formatF(6, 2, 1.5F), "  1.50");
  EXPECT_EQ(formatE(10, 3, 1234.5F), " 0.123E+04");
  EXPECT_EQ(parseReal("1.5"), 1.5F);
  EXPECT_FALSE(parseReal("1,5"));
  std::locale::global(saved);
}

TEST(FreeFormatValues, ParsesNumbersAndRejectsTheRest) {
  struct Case {
    const char* token;
    bool ok;
    Real value;
  };
  const Case reals[] = {
      {"1E-5", true, 1e-5F}, {"2.", true, 2.0F},     {".5", true, 0.5F},  {"+3", true, 3.0F},
      {"-4.25", true, -4.25F}, {"1.5D2", true, 150.0F}, {"120", true, 120.0F},
      {"abc", false, 0},     {"1.2.3", false, 0},    {"nan", false, 0},   {"inf", false, 0},
      {"1e50", false, 0},    {"", false, 0},         {"-", false, 0},     {"3*1.0", false, 0},
      {"0x10", false, 0},    {"1.5E", false, 0},
  };
  for (const auto& c : reals) {
    auto got = parseReal(c.token);
    ASSERT_EQ(got.has_value(), c.ok) << c.token;
    if (c.ok) {
      EXPECT_EQ(*got, c.value) << c.token;
    }
  }
  EXPECT_EQ(parseInteger("2"), 2);
  EXPECT_EQ(parseInteger("+7"), 7);
  EXPECT_EQ(parseInteger("-3"), -3);
  for (const char* bad : {"2.0", "1e2", "99999999999", "", "x", "2a"}) EXPECT_FALSE(parseInteger(bad)) << bad;
}

std::vector<std::string> texts(const std::vector<ListReader::Token>& tokens) {
  std::vector<std::string> out;
  for (const auto& t : tokens) out.push_back(t.text);
  return out;
}

TEST(FreeFormatRecords, ReadsAcrossLinesAndLeavesSurplusUnread) {
  using V = std::vector<std::string>;
  struct Step {
    std::size_t count;
    bool ok;
    V values;
  };
  struct Case {
    const char* name;
    const char* text;
    std::vector<Step> steps;
  };
  const Case cases[] = {
      {"a short record continues on the next line", "1 2 3\n4 5\n6 7\n",
       {{5, true, V{"1", "2", "3", "4", "5"}}, {1, true, V{"6"}}}},
      {"surplus values stay unread", "1 2 3 4\n9\n", {{2, true, V{"1", "2"}}, {1, true, V{"9"}}}},
      {"commas, tabs and CRLF separate values", "1,2\t3 , 4\r\n5\r\n",
       {{4, true, V{"1", "2", "3", "4"}}, {1, true, V{"5"}}}},
      {"blank lines are skipped", "1\n\n   \n2\n", {{2, true, V{"1", "2"}}}},
      {"a read of nothing consumes one line", "7 8\n5\n", {{0, true, V{}}, {1, true, V{"5"}}}},
      {"the end of the file ends a short read", "1 2\n", {{3, false, V{"1", "2"}}, {1, false, V{}}}},
  };
  for (const auto& c : cases) {
    ListReader reader = ListReader::fromText(c.text);
    std::vector<ListReader::Token> tokens;
    for (const auto& step : c.steps) {
      EXPECT_EQ(reader.readValues(step.count, tokens), step.ok) << c.name;
      EXPECT_EQ(texts(tokens), step.values) << c.name;
    }
  }
}

TEST(FreeFormatRecords, TokensKnowTheirLine) {
  ListReader reader = ListReader::fromText("title\n1 2\n\n3\n");
  EXPECT_EQ(reader.readLine(), "title");
  std::vector<ListReader::Token> tokens;
  ASSERT_TRUE(reader.readValues(3, tokens));
  EXPECT_EQ(tokens[0].line, 2);
  EXPECT_EQ(tokens[2].line, 4);
}

}  // namespace
}  // namespace pylar::engine
