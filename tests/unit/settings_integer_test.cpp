#include <gtest/gtest.h>

#include <string>

#include "settings/integer.h"
#include "tests/unit/errorof.h"

namespace strennix {
namespace {

std::string conversionError(const std::string& text) {
  return testsupport::errorOf([&] { strToInt(text); });
}

TEST(SettingsInteger, ReadsDecimalWithLeadingBlanksAndSign) {
  EXPECT_EQ(strToInt("4"), 4);
  EXPECT_EQ(strToInt("0"), 0);
  EXPECT_EQ(strToInt("-3"), -3);
  EXPECT_EQ(strToInt("+12"), 12);
  EXPECT_EQ(strToInt("   58"), 58);
  EXPECT_EQ(strToInt("  -7"), -7);
  EXPECT_EQ(strToInt("007"), 7);
  EXPECT_EQ(strToInt("2147483647"), 2147483647);
  EXPECT_EQ(strToInt("-2147483648"), -2147483647 - 1);
}

TEST(SettingsInteger, ReadsHexadecimalAfterDollarOrZeroX) {
  EXPECT_EQ(strToInt("$10"), 16);
  EXPECT_EQ(strToInt("0x1f"), 31);
  EXPECT_EQ(strToInt("0X1F"), 31);
  EXPECT_EQ(strToInt("$aB"), 171);
  EXPECT_EQ(strToInt(" -$10"), -16);
  EXPECT_EQ(strToInt("$7FFFFFFF"), 2147483647);
  EXPECT_EQ(strToInt("-$80000000"), -2147483647 - 1);
}

TEST(SettingsInteger, HexadecimalAboveTheSignedRangeIsTheSameBitPattern) {
  EXPECT_EQ(strToInt("$FFFFFFFF"), -1);
  EXPECT_EQ(strToInt("0x80000000"), -2147483647 - 1);
  EXPECT_EQ(strToInt("$FFFFFFF6"), -10);
  EXPECT_EQ(conversionError("$100000000"), "'$100000000' is not a valid integer value");
  EXPECT_EQ(conversionError("-$80000001"), "'-$80000001' is not a valid integer value");
}

TEST(SettingsInteger, RefusesAnythingButOneWholeIntegerNamingTheText) {
  EXPECT_EQ(conversionError(""), "'' is not a valid integer value");
  EXPECT_EQ(conversionError("4 "), "'4 ' is not a valid integer value");
  EXPECT_EQ(conversionError("abc"), "'abc' is not a valid integer value");
  EXPECT_EQ(conversionError("12px"), "'12px' is not a valid integer value");
  EXPECT_EQ(conversionError("   "), "'   ' is not a valid integer value");
  EXPECT_EQ(conversionError("-"), "'-' is not a valid integer value");
  EXPECT_EQ(conversionError("- 4"), "'- 4' is not a valid integer value");
  EXPECT_EQ(conversionError("$"), "'$' is not a valid integer value");
  EXPECT_EQ(conversionError("0x"), "'0x' is not a valid integer value");
  EXPECT_EQ(conversionError("$1G"), "'$1G' is not a valid integer value");
  EXPECT_EQ(conversionError("1.5"), "'1.5' is not a valid integer value");
  EXPECT_EQ(conversionError("1a"), "'1a' is not a valid integer value");
  EXPECT_EQ(conversionError("2147483648"), "'2147483648' is not a valid integer value");
  EXPECT_EQ(conversionError("-2147483649"), "'-2147483649' is not a valid integer value");
  EXPECT_EQ(conversionError("99999999999999999999999"),
            "'99999999999999999999999' is not a valid integer value");
  EXPECT_EQ(conversionError("\t4"), "'\t4' is not a valid integer value");
}

}  // namespace
}  // namespace strennix
