#include "common/text_number.h"

#include <gtest/gtest.h>

#include <string>

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

// Overflow and underflow follow the value the whole text stands for, not the written exponent.
TEST(TextToDouble, DecidesRangeOnTheValueNotOnTheExponentSign) {
    const std::string zeros(400, '0');
    const struct {
        std::string text;
        bool accepted;
        double value;
    } cases[] = {
        {"1" + zeros + "e-1", false, 0}, // 1E399
        {"-1" + zeros + "e-1", false, 0},
        {"1" + zeros + "e-100", true, 1e300},
        {"0." + zeros + "1", true, 0}, // 1E-401 is below the smallest double
        {"-0." + zeros + "1", true, 0},
        {"0." + zeros + "5e+1", true, 0},
        {"0." + std::string(300, '0') + "5e+1", true, 5e-300},
        {"0." + zeros + "1e700", true, 1e299},
        {"1e-99999999999999999999", true, 0},
        {"1e99999999999999999999", false, 0},
        {"0e99999999999999999999", true, 0},
        {"1.7976931348623157e308", true, 1.7976931348623157e308},
        {"1.8e308", false, 0},
        {"4.9e-324", true, 4.9e-324},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 40));
        double v = -1;
        EXPECT_EQ(tc::tryTextToDouble(c.text, v), c.accepted);
        if (c.accepted) {
            EXPECT_EQ(v, c.value);
        }
    }
}

TEST(ConversionMessages, QuoteALongTextByItsFirstSixtyCharacters) {
    // The expected message: quote, the quoted text, quote, the rest.
    auto message = [](const char* quote, const std::string& text, bool cut, const char* rest) {
        std::string m = quote;
        m += text;
        if (cut) m += "\xE2\x80\xA6";
        m += quote;
        m += rest;
        return m;
    };
    const char* notFloat = " is not a valid floating point value";
    const std::string sixty(60, '1');
    EXPECT_EQ(tc::invalidFloatMessage(sixty), message("'", sixty, false, notFloat));
    EXPECT_EQ(tc::invalidFloatMessage(std::string(1 << 20, '1')), message("'", sixty, true, notFloat));
    EXPECT_EQ(tc::invalidIntegerMessage(sixty + "2"),
              message("''", sixty, true, " is not a valid integer value"));
    // Characters, not bytes: a degree sign is two bytes and never cut in half.
    std::string degrees;
    for (int i = 0; i < 70; ++i)
        degrees += "\xC2\xB0";
    EXPECT_EQ(tc::invalidFloatMessage(degrees), message("'", degrees.substr(0, 120), true, notFloat));
    try {
        tc::textToDouble(std::string(50 << 20, 'x'));
        FAIL();
    } catch (const tc::Error& e) {
        EXPECT_EQ(std::string(e.what()), message("'", std::string(60, 'x'), true, notFloat));
    }
}

} // namespace
