#include "results/results_tables.h"

#include "common/number_text.h"
#include "export/workbook_model.h"
#include "export/xlsx_writer.h"

#include <algorithm>
#include <charconv>
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
    case YieldMethod::Asce41:
        return "Bilinear, equal areas (ASCE 41)";
    case YieldMethod::Eccs:
        return "Tangents K0 and K0/10 (ECCS)";
    }
    return {};
}

std::string evaluationCurveName(EvaluationCurve curve) {
    switch (curve) {
    case EvaluationCurve::SkeletonOnChart:
        return "Skeleton curves on the chart";
    case EvaluationCurve::FirstCycleEnvelope:
        return "First-cycle envelope";
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
                "Strength degradation",
                "Residual D1",
                "Residual D2",
                "State"};
    t.rows.reserve(loops.size());
    for (const LoopResult& l : loops) {
        using C = ResultCell;
        const bool both = l.hasFirstHalf && l.hasSecondHalf;
        t.rows.push_back(
            {C::of(l.loop), l.hasFirstHalf ? C::of(l.d1) : C::none(),
             l.hasFirstHalf ? C::of(l.f1) : C::none(), l.hasSecondHalf ? C::of(l.d2) : C::none(),
             l.hasSecondHalf ? C::of(l.f2) : C::none(), C::of(l.energy), C::of(l.cumulativeEnergy),
             C::of(l.damping), C::of(l.secantStiffness),
             both && l.level > 0 ? C::of(l.level) : C::none(), C::of(l.degradation),
             C::of(l.residual1), C::of(l.residual2), C::label(l.open ? "open" : "closed")});
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
    t.rows.push_back({C::label("Evaluation curve"), C::label(evaluationCurveName(results.curve)),
                      C::label(evaluationCurveName(results.curve))});
    std::vector<C> notes{C::label("Note")};
    for (const SkeletonResult* s : sides) {
        std::string text;
        for (const std::string& n : s->notes)
            text += (text.empty() ? "" : "; ") + n;
        notes.push_back(C::label(text));
    }
    t.rows.push_back(std::move(notes));
    return t;
}

ResultTable levelTable(const std::vector<LevelResult>& levels) {
    ResultTable t;
    t.name = "Levels";
    t.header = {
        "Level", "First loop", "Loops", "D1", "D2", "Secant stiffness K", "Stiffness degradation"};
    using C = ResultCell;
    for (const LevelResult& l : levels)
        t.rows.push_back({C::of(l.level), C::of(l.firstLoop), C::of(l.loops), C::of(l.d1),
                          C::of(l.d2), C::of(l.secantStiffness), C::of(l.stiffnessDegradation)});
    return t;
}

ResultTable summaryTable(const EngineeringResults& results) {
    ResultTable t;
    t.name = "Summary";
    t.header = {"Quantity", "Value"};
    using C = ResultCell;
    const auto loops = static_cast<double>(results.loops.size());
    t.rows = {{C::label("Loops"), C::of(loops)},
              {C::label("Closed loops"), C::of(results.closedLoops)},
              {C::label("Energy of the closed loops"), C::of(results.closedLoopEnergy)},
              {C::label("Energy of the record (integral of F dD)"), C::of(results.recordEnergy)},
              {C::label("Evaluation curve"), C::label(evaluationCurveName(results.curve))},
              {C::label("Yield method"), C::label(yieldMethodName(results.method))}};
    for (const std::string& w : results.warnings)
        t.rows.push_back({C::label("Warning"), C::label(w)});
    return t;
}

std::vector<ResultTable> resultTables(const EngineeringResults& results) {
    return {loopTable(results.loops), skeletonTable(results), levelTable(results.levels),
            summaryTable(results)};
}

double roundToSignificant(double value, int significantDigits) {
    if (!std::isfinite(value) || value == 0) return value;
    const int digits = std::clamp(significantDigits, 1, 15);
    char buf[40];
    const auto res =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, digits - 1);
    double rounded = value;
    std::from_chars(buf, res.ptr, rounded);
    return rounded;
}

std::string cellText(const ResultCell& cell, char decimalSeparator, int significantDigits) {
    if (!cell.number) return cell.text;
    const double v = significantDigits >= kFileDigits
                         ? *cell.number
                         : roundToSignificant(*cell.number, significantDigits);
    return formatNumber(v, decimalSeparator);
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
