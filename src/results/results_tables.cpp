#include "results/results_tables.h"

#include "common/number_text.h"
#include "export/workbook_model.h"
#include "export/xlsx_writer.h"

#include <memory>

namespace tc {

std::string yieldMethodName(YieldMethod method) {
    switch (method) {
    case YieldMethod::GeneralYieldMoment:
        return "General yield moment (geometric)";
    case YieldMethod::Eeep:
        return "Equivalent energy elastic-plastic (EEEP)";
    case YieldMethod::Park:
        return "0.75 Pmax secant (Park)";
    case YieldMethod::FarthestPoint:
        return "Farthest point";
    }
    return {};
}

ResultTable loopTable(const std::vector<LoopResult>& loops) {
    ResultTable t;
    t.name = "Loops";
    t.header = {"Loop",
                "D1",
                "F1",
                "D2",
                "F2",
                "Energy E",
                "Cumulative E",
                "Damping he",
                "Secant stiffness K",
                "Level",
                "Strength degradation"};
    for (const LoopResult& l : loops) {
        using C = ResultCell;
        const bool both = l.hasFirstHalf && l.hasSecondHalf;
        t.rows.push_back({C::of(l.loop), l.hasFirstHalf ? C::of(l.d1) : C::none(),
                          l.hasFirstHalf ? C::of(l.f1) : C::none(),
                          l.hasSecondHalf ? C::of(l.d2) : C::none(),
                          l.hasSecondHalf ? C::of(l.f2) : C::none(), C::of(l.energy),
                          C::of(l.cumulativeEnergy), C::of(l.damping), C::of(l.secantStiffness),
                          both && l.level > 0 ? C::of(l.level) : C::none(), C::of(l.degradation)});
    }
    return t;
}

ResultTable skeletonTable(const EngineeringResults& results) {
    ResultTable t;
    t.name = "Skeleton";
    t.header = {"Quantity", "Positive", "Negative"};
    using C = ResultCell;
    const SkeletonResult* sides[2] = {&results.positive, &results.negative};
    auto row = [&](const char* name, auto value) {
        std::vector<C> r{C::label(name)};
        for (const SkeletonResult* s : sides)
            r.push_back(s->valid ? value(*s) : C::none());
        t.rows.push_back(std::move(r));
    };
    auto yieldCoord = [](bool x) {
        return [x](const SkeletonResult& s) {
            return s.yield ? C::of(x ? s.yield->x : s.yield->y) : C::none();
        };
    };
    row("Peak displacement Dmax", [](const SkeletonResult& s) { return C::of(s.peak.x); });
    row("Peak force Pmax", [](const SkeletonResult& s) { return C::of(s.peak.y); });
    row("Yield displacement Dy", yieldCoord(true));
    row("Yield force Py", yieldCoord(false));
    row("Ultimate displacement Du", [](const SkeletonResult& s) { return C::of(s.ultimate.x); });
    row("Ultimate force Pu", [](const SkeletonResult& s) { return C::of(s.ultimate.y); });
    row("Ultimate point", [](const SkeletonResult& s) {
        return C::label(s.ultimateReached ? "force fell to 85 % of Pmax"
                                          : "last point (force never fell to 85 % of Pmax)");
    });
    row("Ductility Du/Dy", [](const SkeletonResult& s) { return C::of(s.ductility); });
    row("Initial stiffness K0", [](const SkeletonResult& s) { return C::of(s.initialStiffness); });
    t.rows.push_back({C::label("Yield method"), C::label(yieldMethodName(results.method)),
                      C::label(yieldMethodName(results.method))});
    return t;
}

std::vector<ResultTable> resultTables(const EngineeringResults& results) {
    return {loopTable(results.loops), skeletonTable(results)};
}

std::string cellText(const ResultCell& cell, char decimalSeparator) {
    return cell.number ? formatNumber(*cell.number, decimalSeparator) : cell.text;
}

namespace {

void appendField(std::string& out, const std::string& field, char separator) {
    if (field.find_first_of(std::string{separator, '"', '\r', '\n'}) == std::string::npos) {
        out += field;
        return;
    }
    out += '"';
    for (char c : field) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

} // namespace

std::string resultsCsv(const std::vector<ResultTable>& tables, char decimalSeparator) {
    const char sep = decimalSeparator == ',' ? ';' : ',';
    std::string out;
    bool first = true;
    for (const ResultTable& t : tables) {
        if (!first) out += "\r\n";
        first = false;
        appendField(out, t.name, sep);
        out += "\r\n";
        for (size_t i = 0; i < t.header.size(); ++i) {
            if (i) out += sep;
            appendField(out, t.header[i], sep);
        }
        out += "\r\n";
        for (const auto& r : t.rows) {
            for (size_t i = 0; i < r.size(); ++i) {
                if (i) out += sep;
                appendField(out, cellText(r[i], decimalSeparator), sep);
            }
            out += "\r\n";
        }
    }
    return out;
}

void writeResultsWorkbook(const std::vector<ResultTable>& tables,
                          const std::filesystem::path& path) {
    WorkbookModel book;
    for (const ResultTable& t : tables) {
        auto sheet = std::make_shared<WorksheetModel>();
        sheet->name = t.name;
        for (size_t c = 0; c < t.header.size(); ++c)
            sheet->cells.setText(1, static_cast<std::int32_t>(c + 1), t.header[c]);
        for (size_t r = 0; r < t.rows.size(); ++r) {
            const auto row = static_cast<std::int32_t>(r + 2);
            for (size_t c = 0; c < t.rows[r].size(); ++c) {
                const ResultCell& cell = t.rows[r][c];
                const auto col = static_cast<std::int32_t>(c + 1);
                if (cell.number)
                    sheet->cells.setNumber(row, col, *cell.number);
                else
                    sheet->cells.setText(row, col, cell.text);
            }
        }
        book.sheets.push_back(std::move(sheet));
    }
    writeWorkbookXlsx(book, path);
}

} // namespace tc
