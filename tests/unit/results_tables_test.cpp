#include "results/results_tables.h"
#include "xlsx_zip.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

tc::EngineeringResults sample() {
    tc::EngineeringResults r;
    tc::LoopResult full;
    full.loop = 1;
    full.hasFirstHalf = full.hasSecondHalf = true;
    full.d1 = 3, full.f1 = 14, full.d2 = -3, full.f2 = -11;
    full.energy = full.cumulativeEnergy = 35.5;
    full.damping = 0.25;
    full.secantStiffness = 2.5;
    full.level = 1;
    full.degradation = 1;
    full.residual1 = 0.5;
    full.residual2 = -0.25;
    tc::LoopResult half; // the record ended in the first half of loop 2: open, no energy
    half.loop = 2;
    half.open = true;
    half.hasFirstHalf = true;
    half.d1 = 4.5, half.f1 = 16;
    half.cumulativeEnergy = 35.5;
    r.loops = {full, half};
    r.positive.valid = true;
    r.positive.peak = {2, 15};
    r.positive.yield = tc::CurvePoint{1, 10};
    r.positive.ultimate = {4, 12.75};
    r.positive.ultimateReached = true;
    r.positive.ductility = 4;
    r.positive.initialStiffness = 10;
    return r; // the negative curve is invalid: every value "--"
}

TEST(ResultTables, MissingValuesAreDashesAndNumbersStayNumbers) {
    const auto tables = tc::resultTables(sample());
    ASSERT_EQ(tables.size(), 4u); // loops, skeleton, levels, summary
    const tc::ResultTable& loops = tables[0];
    ASSERT_EQ(loops.rows.size(), 2u);
    for (const auto& row : loops.rows)
        EXPECT_EQ(row.size(), loops.header.size());
    const auto& half = loops.rows[1];
    EXPECT_EQ(half[2].number, 16.0);
    for (size_t c : {3u, 4u, 5u, 7u, 8u, 9u, 10u, 11u, 12u})
        EXPECT_EQ(half[c].text, "--") << c;
    EXPECT_EQ(half[6].number, 35.5);
    EXPECT_EQ(half[13].text, "open");
    EXPECT_EQ(loops.rows[0][13].text, "closed");

    const tc::ResultTable& skeleton = tables[1];
    for (const auto& row : skeleton.rows) {
        ASSERT_EQ(row.size(), 3u);
        if (row[0].text != "Yield method" && row[0].text != "Evaluation curve" &&
            row[0].text != "Note") {
            EXPECT_EQ(row[2].text, "--") << row[0].text;
        }
    }
    EXPECT_EQ(skeleton.rows[2][1].number, 1.0); // Dy
    EXPECT_EQ(skeleton.rows[6][1].text, "force fell to 85 % of Pmax");
}

TEST(ResultTables, CsvUsesTheNumberRuleAndASeparatorThatFits) {
    const auto tables = tc::resultTables(sample());
    const std::string dot = tc::resultsCsv(tables, '.');
    EXPECT_EQ(dot.substr(0, dot.find("\r\n1,")), "Loops\r\nLoop,D1,F1,D2,F2,Energy E,Cumulative E,"
                                                 "Damping he,Secant stiffness K,Level,"
                                                 "Strength degradation,Residual D1,Residual D2,"
                                                 "State");
    EXPECT_NE(dot.find("\r\n1,3,14,-3,-11,35.5,35.5,0.25,2.5,1,1,0.5,-0.25,closed\r\n"),
              std::string::npos);
    EXPECT_NE(dot.find("\r\n2,4.5,16,--,--,--,35.5,--,--,--,--,--,--,open\r\n"), std::string::npos);
    EXPECT_NE(dot.find("\r\n\r\nSkeleton\r\n"), std::string::npos);
    // With a decimal comma the fields are separated by semicolons.
    const std::string comma = tc::resultsCsv(tables, ',');
    EXPECT_NE(comma.find("\r\n1;3;14;-3;-11;35,5;35,5;0,25;2,5;1;1;0,5;-0,25;closed\r\n"),
              std::string::npos);
    // A field holding the separator is quoted.
    tc::ResultTable t{"A,B", {"x"}, {{tc::ResultCell::label("say \"hi\", twice")}}};
    EXPECT_EQ(tc::resultsCsv({t}, '.'), "\"A,B\"\r\nx\r\n\"say \"\"hi\"\", twice\"\r\n");
}

TEST(ResultTables, WorkbookHasASheetPerTableWithNumbersAsNumbers) {
    const auto path = std::filesystem::temp_directory_path() / "tc_results_tables_test.xlsx";
    tc::writeResultsWorkbook(tc::resultTables(sample()), path);
    const std::string zip = tc::test::readWholeFile(path.string());
    const std::string book = tc::test::zipMember(zip, "xl/workbook.xml");
    EXPECT_NE(book.find("name=\"Loops\""), std::string::npos);
    EXPECT_NE(book.find("name=\"Skeleton\""), std::string::npos);
    const std::string loops = tc::test::zipMember(zip, "xl/worksheets/sheet1.xml");
    EXPECT_NE(loops.find("<c r=\"F2\"><v>35.5</v></c>"), std::string::npos);
    EXPECT_NE(loops.find("<c r=\"D3\" t=\"s\">"), std::string::npos); // "--" is text
    std::filesystem::remove(path);
    EXPECT_THROW(tc::writeResultsWorkbook(tc::resultTables(sample()), "/no/such/folder/x.xlsx"),
                 std::exception);
}

} // namespace
