#include "export/worksheet_address.h"

#include <gtest/gtest.h>

namespace {

TEST(WorksheetAddress, ColumnLetters) {
    const struct {
        int column;
        const char* letters;
    } cases[] = {{1, "A"},    {26, "Z"},    {27, "AA"},     {28, "AB"}, {52, "AZ"}, {53, "BA"},
                 {702, "ZZ"}, {703, "AAA"}, {16384, "XFD"}, {0, ""},    {-5, ""}};
    for (const auto& c : cases)
        EXPECT_EQ(tc::ColumnLetters(c.column), c.letters) << c.column;
}

TEST(WorksheetAddress, CellAddresses) {
    EXPECT_EQ(tc::CellAddress(5, 3, "$"), "$C$5");
    EXPECT_EQ(tc::CellAddress(1, 28, "$"), "$AB$1");
    EXPECT_EQ(tc::CellAddress(1, 2, "$"), "$B$1");
    EXPECT_EQ(tc::CellAddress(11, 1, "$"), "$A$11");
    EXPECT_EQ(tc::CellAddress(1, 2, ""), "B1");
    EXPECT_EQ(tc::CellAddress(1048576, 16384, "$"), "$XFD$1048576");
}

TEST(WorksheetAddress, References) {
    EXPECT_EQ(tc::RangeReference(2, 11, 1), "=Sheet1!$A$2:$A$11");
    EXPECT_EQ(tc::RangeReference(2, 2, 2), "=Sheet1!$B$2:$B$2");
    EXPECT_EQ(tc::RangeReference(2, 1048576, 12), "=Sheet1!$L$2:$L$1048576");
    EXPECT_EQ(tc::CellReference(1, 12), "=Sheet1!$L$1");
}

} // namespace
