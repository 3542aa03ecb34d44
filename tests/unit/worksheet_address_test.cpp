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

// Every address and reference the export writes reads back as the cells it was made from.
TEST(WorksheetAddress, WrittenAddressesReadBack) {
    const std::pair<int, int> cells[] = {{1, 1},   {5, 3},     {11, 1},      {1, 28},
                                         {2, 702}, {1, 16384}, {1048576, 1}, {1048576, 16384}};
    for (const auto& [row, column] : cells) {
        for (const char* sep : {"$", ""}) {
            std::int32_t r = 0, c = 0;
            ASSERT_TRUE(tc::ParseCellAddress(tc::CellAddress(row, column, sep), r, c));
            EXPECT_EQ(r, row);
            EXPECT_EQ(c, column);
        }
        const auto cell = tc::ParseReference(tc::CellReference(row, column));
        ASSERT_TRUE(cell);
        EXPECT_EQ(cell->sheet, tc::kExportSheetName);
        EXPECT_EQ(cell->firstRow, row);
        EXPECT_EQ(cell->lastColumn, column);
        const auto range = tc::ParseReference(tc::RangeReference(row, 1048576, column));
        ASSERT_TRUE(range);
        EXPECT_EQ(range->firstRow, row);
        EXPECT_EQ(range->lastRow, 1048576);
        EXPECT_EQ(range->firstColumn, column);
        EXPECT_EQ(range->lastColumn, column);
    }
}

TEST(WorksheetAddress, ReferencesThatAreNotCells) {
    const char* texts[] = {
        "",           "Sheet1!A1",  "=A1",          "=Sheet1!",         "=Sheet1!1",
        "=Sheet1!A",  "=Sheet1!A0", "=Sheet1!XFE1", "=Sheet1!A1048577", "=Sheet1!A1:",
        "=Sheet1!A1 "};
    for (const char* t : texts)
        EXPECT_FALSE(tc::ParseReference(t)) << t;
    const auto quoted = tc::ParseReference("='It''s a sheet'!$b$12:a3");
    ASSERT_TRUE(quoted);
    EXPECT_EQ(quoted->sheet, "It's a sheet");
    EXPECT_EQ(quoted->firstRow, 3);
    EXPECT_EQ(quoted->lastRow, 12);
    EXPECT_EQ(quoted->firstColumn, 1);
    EXPECT_EQ(quoted->lastColumn, 2);
}

} // namespace
