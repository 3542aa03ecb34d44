#include "common/number_text.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

struct Case {
    double value;
    const char* text;
};

class NumberText : public ::testing::TestWithParam<Case> {};

TEST_P(NumberText, WritesShortestFifteenDigitForm) {
    EXPECT_EQ(tc::formatNumber(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Rule, NumberText,
    ::testing::Values(Case{0.0001, "0.0001"}, Case{0.00001, "1E-5"}, Case{1e15, "1E15"},
                      Case{2.5e20, "2.5E20"}, Case{1.0 / 3.0, "0.333333333333333"}, Case{-0.0, "0"},
                      Case{0.0, "0"}, Case{12, "12"}, Case{0.5, "0.5"}, Case{-3.25, "-3.25"},
                      Case{100, "100"}, Case{1234567.5, "1234567.5"}, Case{-0.000015, "-1.5E-5"},
                      Case{999999999999999.0, "999999999999999"}, Case{0.1 + 0.2, "0.3"},
                      Case{2.0 / 3.0, "0.666666666666667"}, Case{-125.5, "-125.5"},
                      Case{0.00012345, "0.00012345"}, Case{1.5e-300, "1.5E-300"},
                      Case{static_cast<double>(0.1f), "0.100000001490116"},
                      Case{9.99999999999999999e14, "1E15"},
                      Case{123456789012345678.0, "1.23456789012346E17"}));

TEST(NumberText, UsesTheGivenDecimalSeparator) {
    EXPECT_EQ(tc::formatNumber(0.5, ','), "0,5");
    EXPECT_EQ(tc::formatNumber(-1.5e-5, ','), "-1,5E-5");
}

TEST(NumberText, NonFiniteValuesHaveAWord) {
    EXPECT_EQ(tc::formatNumber(std::numeric_limits<double>::infinity()), "INF");
    EXPECT_EQ(tc::formatNumber(-std::numeric_limits<double>::infinity()), "-INF");
    EXPECT_EQ(tc::formatNumber(std::numeric_limits<double>::quiet_NaN()), "NAN");
}

} // namespace
