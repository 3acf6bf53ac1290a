#include "text/NumberText.h"

#include <gtest/gtest.h>

#include <limits>

#include "text/Errors.h"

namespace focura {
namespace {

TEST(NumberFormat, FixedPatternsRoundAndPad) {
  NumberText num;
  EXPECT_EQ(num.Format0(2.5), "3");
  EXPECT_EQ(num.Format0(-2.5), "-3");
  EXPECT_EQ(num.Format0(77777), "77777");
  EXPECT_EQ(num.Format1(2.0), "2.0");
  EXPECT_EQ(num.Format1(0.0), "0.0");
  EXPECT_EQ(num.Format2(12.5), "12.50");
  EXPECT_EQ(num.Format2(77764.5), "77764.50");
  EXPECT_EQ(num.Format2(0.1234), "0.12");
  EXPECT_EQ(num.Format4(102.5), "102.5000");
  EXPECT_EQ(num.Format4(-2.5), "-2.5000");
  EXPECT_EQ(num.Format4(0.00004), "0.0000");
  EXPECT_EQ(num.Format2(99.999), "100.00");
  EXPECT_EQ(num.Format0(1234567890123.0), "1234567890123");  // no thousands separator
}

TEST(NumberFormat, ExactTiesGoAwayFromZeroAndNearTiesFollowTheBinaryValue) {
  NumberText num;
  EXPECT_EQ(num.Format2(0.125), "0.13");  // exactly representable: a true tie
  EXPECT_EQ(num.Format2(-0.125), "-0.13");
  EXPECT_EQ(num.Format1(0.25), "0.3");
  EXPECT_EQ(num.Format2(1.005), "1.00");      // 1.00499999999999989... in binary
  EXPECT_EQ(num.Format2(0.285), "0.28");      // 0.28499999999999998...
  EXPECT_EQ(num.Format4(1.00005), "1.0001");  // 1.000050000000000050...
}

TEST(NumberFormat, NegativeThatRoundsToZeroHasNoSign) {
  NumberText num;
  EXPECT_EQ(num.Format2(-0.001), "0.00");
  EXPECT_EQ(num.Format4(-0.00004), "0.0000");
  EXPECT_EQ(num.Format0(-0.4), "0");
  EXPECT_EQ(num.Format2(-0.0), "0.00");
}

TEST(NumberFormat, UsesTheRegionalSeparator) {
  NumberText comma(",");
  EXPECT_EQ(comma.Format1(2.0), "2,0");
  EXPECT_EQ(comma.Format4(-12.25), "-12,2500");
  EXPECT_EQ(comma.Format0(3.0), "3");
}

TEST(NumberParse, AcceptsTheNumberShapes) {
  NumberText num;
  EXPECT_EQ(num.ToDouble("12.5"), 12.5);
  EXPECT_EQ(num.ToDouble("  -3  "), -3.0);
  EXPECT_EQ(num.ToDouble("+4"), 4.0);
  EXPECT_EQ(num.ToDouble(".5"), 0.5);
  EXPECT_EQ(num.ToDouble("5."), 5.0);
  EXPECT_EQ(num.ToDouble("1e3"), 1000.0);
  EXPECT_EQ(num.ToDouble("2.5E-1"), 0.25);
  EXPECT_EQ(num.ToDouble("1e-400"), 0.0);
}

TEST(NumberParse, RejectsEverythingElse) {
  NumberText num;
  for (const char* bad : {"", "   ", "abc", "12a", "1,5", "1.2.3", "--1", "+", ".", "1e", "1e+",
                          "\t12", "12\t", "12\r\n", "0x10", "1 2", "inf", "nan"}) {
    EXPECT_THROW(num.ToDouble(bad), ConversionError) << '"' << bad << '"';
  }
  EXPECT_THROW(num.ToDouble("1e400"), ConversionError);
}

// Whether a number is too large or too small for a Double is a matter of its value: a long
// mantissa with a small negative exponent is still huge, and a long fraction is still tiny.
TEST(NumberParse, OutOfRangeFollowsTheValueNotTheSignOfTheExponent) {
  NumberText num;
  const std::string zeros(400, '0');
  EXPECT_THROW(num.ToDouble("4" + zeros + "e-0"), ConversionError);
  EXPECT_THROW(num.ToDouble("-4" + zeros + "e-50"), ConversionError);
  EXPECT_THROW(num.ToDouble("0.0001e99999999999999999999"), ConversionError);
  EXPECT_EQ(num.ToDouble("0." + zeros + "1"), 0.0);
  EXPECT_EQ(num.ToDouble("-0." + zeros + "7e+50"), 0.0);
  EXPECT_EQ(num.ToDouble("1e-99999999999999999999"), 0.0);
  EXPECT_EQ(num.ToDouble("4" + zeros + "e-398"), 400.0);
}

TEST(NumberParse, CommaSeparatorReplacesThePoint) {
  NumberText comma(",");
  EXPECT_EQ(comma.ToDouble("12,25"), 12.25);
  EXPECT_EQ(comma.ToDouble("-0,5e1"), -5.0);
  EXPECT_THROW(comma.ToDouble("12.25"), ConversionError);
}

TEST(NumberParse, IntegersRoundHalfToEvenWithinRange) {
  NumberText num;
  EXPECT_EQ(num.ToInt16("2.5"), 2);
  EXPECT_EQ(num.ToInt16("3.5"), 4);
  EXPECT_EQ(num.ToInt16("-2.5"), -2);
  EXPECT_EQ(num.ToInt16("2.51"), 3);
  EXPECT_EQ(num.ToInt16("32767.4"), 32767);
  EXPECT_EQ(num.ToInt16("-32768"), -32768);
  EXPECT_THROW(num.ToInt16("32767.5"), ConversionError);  // rounds to 32768
  EXPECT_THROW(num.ToInt16("40000"), ConversionError);
  EXPECT_EQ(num.ToInt32("-5"), -5);
  EXPECT_EQ(num.ToInt32("2147483647"), 2147483647);
  EXPECT_THROW(num.ToInt32("2147483648"), ConversionError);
  EXPECT_THROW(num.ToInt32(""), ConversionError);
}

TEST(NumberRounding, HelpersRoundTruncateAndRefuseOverflow) {
  EXPECT_EQ(RoundToInt32(4.5), 4);
  EXPECT_EQ(RoundToInt32(3.5), 4);
  EXPECT_EQ(RoundToInt32(-0.5), 0);
  EXPECT_EQ(TruncToInt32(1.9), 1);
  EXPECT_EQ(TruncToInt32(-1.9), -1);
  EXPECT_EQ(TruncToInt32(0.0019 * 1000), 1);
  EXPECT_THROW(TruncToInt32(3e9), ArithmeticError);
  EXPECT_THROW(RoundToInt16(std::numeric_limits<double>::quiet_NaN()), ArithmeticError);
}

}  // namespace
}  // namespace focura
