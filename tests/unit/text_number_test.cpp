#include "common/text_number.h"

#include <gtest/gtest.h>

namespace {

struct Accepted {
    const char* text;
    char sep;
    double value;
};

TEST(TextToDouble, AcceptsSignDigitsSeparatorAndExponent) {
    const Accepted cases[] = {
        {"1.5", '.', 1.5},
        {"-20.3", '.', -20.3},
        {"+2", '.', 2},
        {" \t 7 \r", '.', 7},
        {"1e3", '.', 1000},
        {"1E-3", '.', 0.001},
        {"2.5e+2", '.', 250},
        {".5", '.', 0.5},
        {"5.", '.', 5},
        {"0,25", ',', 0.25},
        {"1e-400", '.', 0.0},
        {"\x01"
         "3\x1f",
         '.', 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_DOUBLE_EQ(tc::textToDouble(c.text, c.sep), c.value);
    }
}

TEST(TextToDouble, RefusesEverythingElseWithTheUsersMessage) {
    const char* refused[] = {"",
                             "  ",
                             "nan",
                             "inf",
                             "-inf",
                             "Infinity",
                             "0x10",
                             "1,000",
                             "1 000",
                             "1.2.3",
                             "e5",
                             "1e",
                             "1e+",
                             "--1",
                             "1.5a",
                             "Disp",
                             ".",
                             "-",
                             "1e400",
                             "\xc2\xa0"
                             "1"};
    for (const char* t : refused) {
        SCOPED_TRACE(t);
        double v;
        EXPECT_FALSE(tc::tryTextToDouble(t, v, '.'));
    }
    EXPECT_FALSE([] {
        double v;
        return tc::tryTextToDouble("1.5", v, ',');
    }());
    try {
        tc::textToDouble("  abc ");
        FAIL();
    } catch (const tc::Error& e) {
        EXPECT_STREQ(e.what(), "'abc' is not a valid floating point value");
    }
}

TEST(TextToInt, ConvertsTrimmedDecimalIntegers) {
    EXPECT_EQ(tc::textToInt(" 12 "), 12);
    EXPECT_EQ(tc::textToInt("-1"), -1);
    EXPECT_EQ(tc::textToInt("+3"), 3);
    EXPECT_EQ(tc::textToInt("2147483647"), 2147483647);
    EXPECT_EQ(tc::textToInt("-2147483648"), -2147483647 - 1);
    for (const char* t : {"", "1.0", "x", "2147483648", "0x10", "1e3", "- 1"}) {
        SCOPED_TRACE(t);
        EXPECT_THROW(tc::textToInt(t), tc::Error);
    }
    try {
        tc::textToInt("abc");
        FAIL();
    } catch (const tc::Error& e) {
        EXPECT_STREQ(e.what(), "''abc'' is not a valid integer value");
    }
}

} // namespace
